#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class DrukowaniePage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit DrukowaniePage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Session& session_;
};
