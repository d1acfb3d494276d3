#pragma once
#include "shell/PageHooks.h"
#include "shell/ShellModel.h"

#include <QWidget>

// The printout page DrukowanieTab.
class DrukowaniePage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit DrukowaniePage(Models models, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Models m_;
};
