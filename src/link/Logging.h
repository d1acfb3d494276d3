#pragma once
#include <QLoggingCategory>

// Diagnostics of the link library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.link.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcLink)
