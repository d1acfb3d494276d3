#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class TReadout;
class QSpinBox;
class QTimer;
class QToolButton;
class QWidget;
class TGauge;
class TGradientPanel;
class THalfRoundMeter;
class TLedBar;
class TLedLamp;
class TRoundMeter;
class TSweepChart;
class TTankGauge;
class TThermometer;

// The live page WizualizacjaTab: every live reading on an instrument, and the
// four-trace chart, polled by TimerWiz every 50 ms.
class LivePage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit LivePage(Models models, QWidget* parent = nullptr);
    void enterPage() override;
    void leaveSteps() override;

    // LEDMeter1, Label30/Label71 and the chart's lambda scale by the probe kind.
    void applyProbeKindScaling();
    void applyProbeKindScaling(int probeKind);
    // The chart's lambda scale labels WykresLambdaY1..Y5.
    void applyChartScale(const live::ProbeScale& scale);
    // GasLed's caption again in the current language (after a language change).
    void refreshPetrolGasCaption();

public slots:
    // The readings of one good TimerWiz frame on every instrument.
    void showReadings(const live::Readings& r);
    void UpDown1Click();
    void CheckBox39Click();
    void CheckBox40Click();
    void CheckBox41Click();
    void CheckBox42Click();
    void CheckBox10Click();
    void SpeedButton4Click();
    // NagrywajButt: the drive log starts or stops.
    void NagrywajButtClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // TranserrorLabel: the port down since when, a bad frame, or no answer.
    void refreshTransmissionError();
    // NagrywajButt's state and caption; ReplayLabel while a log is replayed.
    void refreshRecording();
    void refreshReplay();
    void applyFeatures(const live::VersionFeatures& f);
    void updateChartSampling();
    void buildInstruments(QWidget* area);
    void buildChart(QGroupBox* box);
    QWidget* buildScalePanel(QWidget* parent, const QString& name, int x,
                             const std::array<QString, 5>& values, const QString& caption,
                             const QString& captionName, std::array<QLabel*, 5>* labels,
                             const std::array<QString, 5>& labelNames);

    Models m_;
    live::LambdaTimes lambdaTimes_;
    int upperEnd_ = 50;

    TGradientPanel* gradPanel2_;
    TGradientPanel* gradPanel3_;
    QLabel* label75_;
    QLabel* label30_;
    QLabel* label71_;
    TLedBar* ledMeter1_;
    TReadout* panel6_;
    THalfRoundMeter* gauge4_;
    TReadout* panel5_;
    TRoundMeter* obrotomierz_;
    TReadout* panel1_;
    QLabel* label25_;
    TTankGauge* gauge2_;
    QLabel* label47_;
    QLabel* label27_;
    TReadout* panel4_;
    TLedLamp* gasLed_;
    QLabel* label42_;
    TThermometer* thermometer1_;
    TReadout* panelTemp_;
    QLabel* label26_;
    TGauge* gauge3_;
    QLabel* transerrorLabel_;

    QGroupBox* groupBox10_;
    TSweepChart* scope1_;
    QWidget* panel2_;
    QWidget* panel7_;
    QWidget* panel3_;
    QWidget* panel8_;
    std::array<QLabel*, 5> WykresLambdaY{};
    QCheckBox* checkBox39_;
    QCheckBox* checkBox40_;
    QCheckBox* checkBox41_;
    QCheckBox* checkBox42_;
    QCheckBox* checkBox10_;
    QToolButton* speedButton4_;
    QToolButton* nagrywajButt_;
    QLabel* replayLabel_;
    QTimer* replayClock_;
    QSpinBox* upDown1_;
    QLabel* wykresLambdaX_;
    QLabel* podpisWykresLambda_;
    QLabel* label67_;
    QLabel* label43_;
    QLabel* label28_;
    QLabel* label44_;

    // Design tops of the lean/rich labels, swapped by the probe kind.
    int label30DesignTop_ = 0;
    int label71DesignTop_ = 0;
    int ledDesignHeight_ = 1;
};
