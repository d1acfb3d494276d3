#include "live/ui/WizualizacjaPage.h"

#include "shell/Session.h"

WizualizacjaPage::WizualizacjaPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("WizualizacjaTab"));
}

void WizualizacjaPage::enterPage() {}
