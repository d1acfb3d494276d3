#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class ObrotyPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ObrotyPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;
    bool leaveByTab() override;
    // Start-up steps the main window runs in its creation sequence.
    void applyVersionDependentControls();
    void analogThresholdStartup();
    void readIgnitionIntoCombos();

private:
    Session& session_;
};
