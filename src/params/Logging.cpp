#include "params/Logging.h"

Q_LOGGING_CATEGORY(lcParams, "quendrix.params", QtWarningMsg)
