#include "live/ui/ObrotyPage.h"

#include "shell/Session.h"

ObrotyPage::ObrotyPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("ObrotyTab"));
}

void ObrotyPage::enterPage() {}

bool ObrotyPage::leaveByTab() { return true; }
void ObrotyPage::applyVersionDependentControls() {}
void ObrotyPage::analogThresholdStartup() {}
void ObrotyPage::readIgnitionIntoCombos() {}
