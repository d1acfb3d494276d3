#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class ParametryPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ParametryPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Session& session_;
};
