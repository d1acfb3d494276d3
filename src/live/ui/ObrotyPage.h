#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;
class QComboBox;
class QGroupBox;
class QLabel;
class TRoundMeter;
class TColorButton;
class TGradientPanel;

// The engine-speed page ObrotyTab: the fitter picks the ignition system while
// watching the speed it gives; the choice (and on controllers of version 8 or
// more the analog threshold) is written when the page is left.
class ObrotyPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ObrotyPage(Session& session, QWidget* parent = nullptr);
    ~ObrotyPage() override;
    void enterPage() override;
    bool leaveByTab() override;
    // Start-up steps the main window runs in its creation sequence.
    void applyVersionDependentControls();
    void analogThresholdStartup();
    void readIgnitionIntoCombos();

public slots:
    void TimerObrTimer();
    void OdczytUkladuButtClick();

private:
    Session& session_;
    TGradientPanel* AbGradient1;
    TGradientPanel* AbGradient4;
    TGradientPanel* AbGradient5;
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
