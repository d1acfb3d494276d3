#include "live/ui/ReadingsPanel.h"

#include "shell/Session.h"

ReadingsPanel::ReadingsPanel(Session& session, QWidget* parent) : QGroupBox(parent), session_(session) {
    setObjectName(QStringLiteral("GroupBox1"));
}
