#pragma once
#include <QLoggingCategory>

// Diagnostics of the params library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.params.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcParams)
