#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class TReadout;
class TRoundMeter;
class TColorButton;
class TGradientPanel;

// The engine-speed page ObrotyTab: the fitter picks the ignition system while
// watching the speed it gives; the choice (and on controllers of version 8 or
// more the analog threshold) is written when the page is left.
class EngineSpeedPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit EngineSpeedPage(Models models, QWidget* parent = nullptr);
    void enterPage() override;
    void leaveSteps() override;

private:
    void showIgnitionChoice(int index);

    Models m_;
    TGradientPanel* gradPanel1_;
    TGradientPanel* gradPanel4_;
    TGradientPanel* gradPanel5_;
    QLabel* label91_;
    QComboBox* comboBox2_;
    QLabel* wyborUkladuLabel_;
    TColorButton* odczytUkladuButt_;
    QGroupBox* groupBoxAnalog_;
    QLabel* progAnalogTxt_;
    QComboBox* edit23_;
    TRoundMeter* gauge1_;
    TReadout* panelobroty_;
};
