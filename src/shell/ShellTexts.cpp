#include "shell/ShellTexts.h"

namespace {
// The system's own reason as it gives it; ours in the window's language.
QString portReason(const PortError& e, const ShellModel& shell) {
    return e.unlisted ? shell.text(textkey::PortUnlisted) : e.reason;
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
    if (e.permissionDenied) msg += QStringLiteral("\n\n") + shell.text(textkey::DialoutHint);
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
