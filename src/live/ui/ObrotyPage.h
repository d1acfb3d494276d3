#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class ObrotyPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ObrotyPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Session& session_;
};
