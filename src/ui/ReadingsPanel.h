#pragma once
#include "core/Readings.h"

#include <QGroupBox>

class QLabel;
class TLedBar;

// The readings panel GroupBox1 of the parameters page, fed by TimerParamOdcz.
// A view only: its owner connects it to the models (params/ui/ReadingsFeed.h).
class ReadingsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ReadingsPanel(QWidget* parent = nullptr);

    // LEDMeter2's range and zones for the probe kind's scale.
    void applyProbeScale(const live::ProbeScale& scale);
    // The temperature read-out only where the controller measures it.
    void showTemperature(bool shown);
    // The fuel in use: petrol red, gas green, under its caption in the current language.
    void showFuel(bool petrol, const QString& caption);
    // The type of every caption and value (a screen-size layout's).
    void setTextSize(int points);

public slots:
    // The readings of one good TimerParamOdcz frame.
    void showReadings(const live::Readings& r);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* lambdaLabel_;
    QLabel* zmiennaLambda_;
    TLedBar* ledMeter2_;
    QLabel* zmiennaTPSLabel_;
    QLabel* zmiennaTPS_;
    QLabel* zmiennaTemperaturaLabel_;
    QLabel* zmiennaTemperatura_;
    QLabel* zmiennaPoziomGazuLabel_;
    QLabel* zmiennaPoziomGazu_;
    QLabel* zmiennaObrotyLabel_;
    QLabel* zmiennaObroty_;
    QLabel* zmiennaSilnikKrokowyLabel_;
    QLabel* zmiennaSilnikKrokowy_;
    QLabel* aktZasilanieLabel_;
    QLabel* zmiennaGazBenzyna_;
    int upperEnd_ = 50;
};
