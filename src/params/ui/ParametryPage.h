#pragma once
#include "shell/PageHooks.h"

#include <QWidget>

class Session;

class ParametryPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit ParametryPage(Session& session, QWidget* parent = nullptr);
    void enterPage() override;
    // The hidden menu entries "Dalej" (Enter) and "Cofnij" (Backspace) while this page is shown.
    void dalejPressed();
    void cofnijPressed();

private:
    Session& session_;
};
