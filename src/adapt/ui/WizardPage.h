#pragma once
#include "adapt/WizardSession.h"
#include "core/Controls.h"
#include "core/PageHooks.h"
#include "core/ShellModel.h"

#include <QWidget>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTabWidget;
class TColorButton;
class TFlatCheckBox;
class THorizontalBar;
class TLedLamp;
class TRoundMeter;
class TThermometer;
class SensorPicture;
namespace params {
class WriteGate;
}

// The autoadaptation page "Autoadaptacja": the title Label11 and the wizard's
// own page control PageControl2 with its eight steps, only the current one's
// tab shown. The steps, their timers and every exchange are the wizard
// session's; this page shows its view and passes the fitter's clicks and keys
// to it.
class WizardPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    WizardPage(Models models, params::WriteGate& gate, QWidget* parent = nullptr);
    ~WizardPage() override;

    void enterPage() override;
    // Step 1's ignition write while its timer polls, then every step timer off.
    void leaveSteps() override;
    // Enter is "Dalej", Backspace "Cofnij".
    bool usesStepKeys() const override { return true; }
    void stepForward() override;
    void stepBack() override;
    // The program closes: a wizard not finished gives back what it found.
    void programClosing() { session_->programClosing(); }

    QTabWidget* wizardPages() const { return pageControl2_; }
    const adapt::Wizard& wizard() const { return session_->wizard(); }
    adapt::WizardSession& session() const { return *session_; }
    // True while a reaction (exchanges, the switch-over pause) is still being carried out.
    bool reactionRunning() const { return session_->busy(); }
    // Where the page's message boxes go (tests record them); a warning box by default.
    void setMessageHandler(std::function<void(const QString&)> handler) { message_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the steps' pages (WizardSteps.cpp).
    void buildSteps();
    QWidget* buildTermStep();
    QWidget* buildTpsStep();
    QWidget* buildProbeStep();
    QWidget* buildCarStep();
    QWidget* buildSensorStep();
    QWidget* buildSwitchOverStep();
    QWidget* buildReducerStep();
    QWidget* buildStepperStep();
    TColorButton* addButton(QWidget* parent, ctl::ControlId name, const QString& text, int x, int y);
    void wireControls();

    void showView();
    void showStep(int step);
    void showTitle();
    void showFeatures();

    Models m_;
    adapt::WizardSession* session_ = nullptr;
    std::function<void(const QString&)> message_;
    bool switchingTab_ = false; // PageControl2 changed by the page, not by the fitter

    QLabel* Label11 = nullptr;
    QTabWidget* pageControl2_ = nullptr;
    QWidget* steps_[adapt::StepCount] = {};
    TColorButton* forward_[adapt::StepCount] = {};
    TColorButton* back_[adapt::StepCount] = {};

    // Step 1
    TThermometer* AdaptTherm = nullptr;
    TRoundMeter* ObrTerm = nullptr;
    QLabel* PanelTerm = nullptr;
    QComboBox* ComboTerm = nullptr;
    QCheckBox* WlCzujtTempCheckAd = nullptr;
    QLabel* WlCzujtTempAd = nullptr;
    // Step 2
    TRoundMeter* AdaptObr1 = nullptr;
    QLabel* Adapt2PanelObr = nullptr;
    QLabel* TPSdolny = nullptr;
    QLabel* TPSgorny = nullptr;
    QLabel* TPSprog = nullptr;
    TLedLamp* DbLed4 = nullptr;
    QLabel* Label56 = nullptr;
    // Step 3
    TRoundMeter* ObrSondy = nullptr;
    QLabel* Adapt4PanelObr = nullptr;
    THorizontalBar* lambdabar = nullptr;
    QLabel* Ad4LabelV = nullptr;
    THorizontalBar* miernik = nullptr;
    QLabel* PUboga = nullptr;
    QLabel* PBogata = nullptr;
    QLabel* PProg = nullptr;
    TLedLamp* LED1 = nullptr;
    QLabel* Label87 = nullptr;
    // Step 4
    QCheckBox* SRCheckbox8 = nullptr;
    QCheckBox* srcheckbox9 = nullptr;
    QCheckBox* SRCheckBox1 = nullptr;
    QCheckBox* srcheckbox2 = nullptr;
    QRadioButton* capacity_[5] = {};
    // Step 5
    TFlatCheckBox* SRCheckBox10 = nullptr;
    TFlatCheckBox* SRCheckBox11 = nullptr;
    SensorPicture* Image4 = nullptr;
    SensorPicture* Image5 = nullptr;
    // Step 6
    TRoundMeter* ObrPrzedRed = nullptr;
    QLabel* PanellPrzedRed = nullptr;
    TLedLamp* LedPrzedRed = nullptr;
    QLabel* NastapiloPrzejscieBGLABEL = nullptr;
    // Step 7
    THorizontalBar* LambdabarRR = nullptr;
    TLedLamp* LedRR = nullptr;
    // Step 8
    TRoundMeter* ObrMinMax = nullptr;
    QLabel* PanelObrMinMax = nullptr;
    THorizontalBar* LambdaBarObr1 = nullptr;
    THorizontalBar* LambdaBarObr2 = nullptr;
    QLabel* PanelMin = nullptr;
    QLabel* PanelMax = nullptr;
    QLabel* PanelStart = nullptr;
    TLedLamp* LedMin = nullptr;
    TLedLamp* LedMax = nullptr;
    QLabel* Label70 = nullptr;
    QLabel* Label76 = nullptr;
    QLabel* KomunikatKoncowy = nullptr;
    int designBarOptions_ = 0;
};
