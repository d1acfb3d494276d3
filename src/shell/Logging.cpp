#include "shell/Logging.h"

Q_LOGGING_CATEGORY(lcShell, "quendrix.shell", QtWarningMsg)
