#pragma once
#include "shell/PageHooks.h"
#include "shell/ShellModel.h"

#include <QWidget>

class QTabWidget;

// The autoadaptation page: the wizard's own page control PageControl2 with
// its steps (so far the first step's tab adaptterm).
class AutoadaptacjaPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit AutoadaptacjaPage(Models models, QWidget* parent = nullptr);
    void enterPage() override;
    QTabWidget* wizardPages() const { return pageControl2_; }

private:
    Models m_;
    QTabWidget* pageControl2_;
};
