#pragma once
#include <QLoggingCategory>

// Diagnostics of the live library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.live.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcLive)
