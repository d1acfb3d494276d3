#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
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
    TGradientPanel* GradPanel1;
    TGradientPanel* GradPanel4;
    TGradientPanel* GradPanel5;
    QLabel* Label91;
    QComboBox* ComboBox2;
    QLabel* WyborUkladuLabel;
    TColorButton* OdczytUkladuButt;
    QGroupBox* GroupBoxAnalog;
    QLabel* ProgAnalogTxt;
    QComboBox* Edit23;
    TRoundMeter* gauge1;
    QLabel* Panelobroty;
};
