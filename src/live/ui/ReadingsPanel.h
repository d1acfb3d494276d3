#pragma once
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "shell/ShellModel.h"

#include <QGroupBox>

class QLabel;
class TLedBar;

// The readings panel GroupBox1 of the parameters page, fed by TimerParamOdcz.
class ReadingsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ReadingsPanel(Models models, QWidget* parent = nullptr);

    // LEDMeter2's range and zones by the probe kind: after every fill of the
    // parameters page, so the bar follows the probe kind just read.
    void applyProbeKindScaling();
    void applyProbeKindScaling(int probeKind);
    // Petrol/gas caption again in the current language.
    void refreshPetrolGasCaption();
    // The type of every caption and value (a screen-size layout's).
    void setTextSize(int points);

public slots:
    // The readings of one good TimerParamOdcz frame.
    void showReadings(const live::Readings& r);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyFeatures(const live::VersionFeatures& f);

    Models m_;
    QLabel* LambdaLabel;
    QLabel* ZmiennaLambda;
    TLedBar* LEDMeter2;
    QLabel* ZmiennaTPSLabel;
    QLabel* ZmiennaTPS;
    QLabel* ZmiennaTemperaturaLabel;
    QLabel* ZmiennaTemperatura;
    QLabel* ZmiennaPoziomGazuLabel;
    QLabel* ZmiennaPoziomGazu;
    QLabel* ZmiennaObrotyLabel;
    QLabel* ZmiennaObroty;
    QLabel* ZmiennaSilnikKrokowyLabel;
    QLabel* ZmiennaSilnikKrokowy;
    QLabel* aktZasilanieLabel;
    QLabel* ZmiennaGazBenzyna;
    int upperEnd_ = 50;
};
