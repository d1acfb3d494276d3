#include "adapt/ui/AutoadaptacjaPage.h"

#include "shell/Session.h"

AutoadaptacjaPage::AutoadaptacjaPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("AutoadaptacjaTab"));
}

void AutoadaptacjaPage::enterPage() {}
