#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class WizualizacjaPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit WizualizacjaPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;

private:
    Session& session_;
};
