#pragma once
#include <QLoggingCategory>

// Diagnostics of the shell library, off by default: turn them on with
// QT_LOGGING_RULES="quendrix.shell.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
