#pragma once
#include <QLoggingCategory>

// Diagnostics of the widgets library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.widgets.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
