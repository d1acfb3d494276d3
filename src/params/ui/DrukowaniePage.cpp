#include "params/ui/DrukowaniePage.h"

#include "shell/Session.h"

DrukowaniePage::DrukowaniePage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("DrukowanieTab"));
}

void DrukowaniePage::enterPage() {}
