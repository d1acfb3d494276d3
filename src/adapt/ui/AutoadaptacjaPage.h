#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class AutoadaptacjaPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit AutoadaptacjaPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Session& session_;
};
