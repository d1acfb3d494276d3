#include "core/ShellModel.h"

void ShellModel::setMessage(const QString& text) {
    message_ = text;
    emit messageChanged(message_);
}
