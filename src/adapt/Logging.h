#pragma once
#include <QLoggingCategory>

// Diagnostics of the adapt library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.adapt.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcAdapt)
