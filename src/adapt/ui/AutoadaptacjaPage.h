#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;
class QTabWidget;

// The autoadaptation page: the wizard's own page control PageControl2 with
// its steps (so far the first step's tab adaptterm).
class AutoadaptacjaPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit AutoadaptacjaPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;
    QTabWidget* wizardPages() const { return pageControl2_; }

private:
    Session& session_;
    QTabWidget* pageControl2_;
};
