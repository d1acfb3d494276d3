#include "shell/ShellTexts.h"

#include "core/SystemTexts.h"

namespace {
// Why, in the window's language: the system's own words are English.
QString portReason(const PortError& e, const ShellModel& shell) {
    namespace st = systemtext;
    switch (e.failure) {
    case PortFailure::Unlisted:
        return shell.text(textkey::PortUnlisted);
    case PortFailure::PermissionDenied:
        return shell.text(st::PortDenied.key);
    case PortFailure::NotFound:
        return shell.text(st::PortNotFound.key);
    case PortFailure::Busy:
        return shell.text(st::PortBusy.key);
    case PortFailure::Lost:
        return shell.text(st::PortStopped.key);
    case PortFailure::Other:
        break;
    }
    return shell.text(st::PortOther.key);
}
} // namespace

QString portErrorPanelText(const PortError& e, const ShellModel& shell) {
    QString t = shortened(e.device, 80);
    const QString reason = portReason(e, shell);
    if (!reason.isEmpty()) t += QStringLiteral(": ") + shortened(reason, 120);
    return t;
}

QString portErrorMessage(const PortError& e, const ShellModel& shell) {
    QString msg = shell.text(textkey::PortOpenFailed);
    if (!msg.isEmpty()) msg += QStringLiteral("\n\n");
    msg += shortened(e.device);
    const QString reason = portReason(e, shell);
    if (!reason.isEmpty()) msg += QStringLiteral(": ") + shortened(reason);
#ifndef Q_OS_WIN
    if (e.failure == PortFailure::PermissionDenied)
        msg += QStringLiteral("\n\n") + shell.text(textkey::DialoutHint);
#endif
    return msg;
}

QString autodetectStepText(const AutodetectStep& step, const ShellModel& shell) {
    constexpr int Found = 10388, NotFound = 10389;
    return shell.text(step.found ? Found : NotFound) + QLatin1Char(' ') + step.port;
}

QString autodetectResultText(const AutodetectResult& result, const ShellModel& shell) {
    constexpr int NoController = 30001;
    if (result.found.isEmpty()) return shell.text(NoController);
    for (const AutodetectStep& step : result.steps)
        if (step.found) return autodetectStepText(step, shell);
    return {};
}
