#pragma once
#include <QGroupBox>

class Session;
class QLabel;
class TLedBar;

// The readings panel GroupBox1 of the parameters page, fed by TimerParamOdcz.
class ReadingsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ReadingsPanel(Session& session, QWidget* parent = nullptr);

    // LEDMeter2's range and zones by the probe kind (the parameters page calls
    // this on entry, after its parameter read).
    void applyProbeKindScaling();
    void applyProbeKindScaling(int probeKind);
    // ZmiennaTemperatura and its label (the version-dependent controls).
    void showTemperatureInstruments(bool visible);
    // Petrol/gas caption again in the current language.
    void refreshPetrolGasCaption();

public slots:
    void TimerParamOdczTimer();

protected:
    // The parameters page shows the panel once its entry read is done: the
    // bar then follows the probe kind just read.
    void showEvent(QShowEvent* e) override;

private:
    Session& session_;
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
