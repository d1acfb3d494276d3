#include "widgets/Logging.h"

Q_LOGGING_CATEGORY(lcWidgets, "quendrix.widgets", QtWarningMsg)
