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
class TReadout;
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

    QLabel* label11_ = nullptr;
    QTabWidget* pageControl2_ = nullptr;
    QWidget* steps_[adapt::StepCount] = {};
    TColorButton* forward_[adapt::StepCount] = {};
    TColorButton* back_[adapt::StepCount] = {};

    // Step 1
    TThermometer* adaptTherm_ = nullptr;
    TRoundMeter* obrTerm_ = nullptr;
    TReadout* panelTerm_ = nullptr;
    QComboBox* comboTerm_ = nullptr;
    QCheckBox* wlCzujtTempCheckAd_ = nullptr;
    QLabel* wlCzujtTempAd_ = nullptr;
    // Step 2
    TRoundMeter* adaptObr1_ = nullptr;
    TReadout* adapt2PanelObr_ = nullptr;
    TReadout* tpsDolny_ = nullptr;
    TReadout* tpsGorny_ = nullptr;
    TReadout* tpsProg_ = nullptr;
    TLedLamp* dbLed4_ = nullptr;
    QLabel* label56_ = nullptr;
    // Step 3
    TRoundMeter* obrSondy_ = nullptr;
    TReadout* adapt4PanelObr_ = nullptr;
    THorizontalBar* lambdaBar_ = nullptr;
    QLabel* ad4LabelV_ = nullptr;
    THorizontalBar* miernik_ = nullptr;
    TReadout* pUboga_ = nullptr;
    TReadout* pBogata_ = nullptr;
    TReadout* pProg_ = nullptr;
    TLedLamp* led1_ = nullptr;
    QLabel* label87_ = nullptr;
    // Step 4
    QCheckBox* srCheckBox8_ = nullptr;
    QCheckBox* srCheckBox9_ = nullptr;
    QCheckBox* srCheckBox1_ = nullptr;
    QCheckBox* srCheckBox2_ = nullptr;
    QRadioButton* capacity_[5] = {};
    // Step 5
    TFlatCheckBox* srCheckBox10_ = nullptr;
    TFlatCheckBox* srCheckBox11_ = nullptr;
    SensorPicture* image4_ = nullptr;
    SensorPicture* image5_ = nullptr;
    // Step 6
    TRoundMeter* obrPrzedRed_ = nullptr;
    TReadout* panellPrzedRed_ = nullptr;
    TLedLamp* ledPrzedRed_ = nullptr;
    QLabel* nastapiloPrzejscieBgLabel_ = nullptr;
    // Step 7
    THorizontalBar* lambdabarRR_ = nullptr;
    TLedLamp* ledRR_ = nullptr;
    // Step 8
    TRoundMeter* obrMinMax_ = nullptr;
    TReadout* panelObrMinMax_ = nullptr;
    THorizontalBar* lambdaBarObr1_ = nullptr;
    THorizontalBar* lambdaBarObr2_ = nullptr;
    TReadout* panelMin_ = nullptr;
    TReadout* panelMax_ = nullptr;
    TReadout* panelStart_ = nullptr;
    TLedLamp* ledMin_ = nullptr;
    TLedLamp* ledMax_ = nullptr;
    QLabel* label70_ = nullptr;
    QLabel* label76_ = nullptr;
    QLabel* komunikatKoncowy_ = nullptr;
    int designBarOptions_ = 0;
};
