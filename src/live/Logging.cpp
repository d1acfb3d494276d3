#include "live/Logging.h"

Q_LOGGING_CATEGORY(lcLive, "quendrix.live", QtWarningMsg)
