#include "params/ui/ParametryPage.h"

#include "shell/Session.h"

ParametryPage::ParametryPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("ParametryTab"));
}

void ParametryPage::enterPage() {}

void ParametryPage::dalejPressed() {}
void ParametryPage::cofnijPressed() {}
