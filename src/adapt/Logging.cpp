#include "adapt/Logging.h"

Q_LOGGING_CATEGORY(lcAdapt, "quendrix.adapt", QtWarningMsg)
