#include "shell/ShellTexts.h"

QString portErrorPanelText(const PortError& e) {
    QString t = shortened(e.device, 80);
    if (!e.reason.isEmpty()) t += QStringLiteral(": ") + shortened(e.reason, 120);
    return t;
}

QString portErrorMessage(const PortError& e, const ShellModel& shell) {
    QString msg = shell.text(textkey::PortOpenFailed);
    if (!msg.isEmpty()) msg += QStringLiteral("\n\n");
    msg += shortened(e.device);
    if (!e.reason.isEmpty()) msg += QStringLiteral(": ") + shortened(e.reason);
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
