#include "shell/Startup.h"

#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "shell/ShellTexts.h"

namespace shell {

void resetRuntimeState(Models& m) {
    m.shell.labelHighlight = 0xEEEEEE;
    m.shell.keyboardFlag = false;
    m.live.resetPeriodFilter();
    m.link.run(nullptr, [](Controller& c) { c.channel().resetSilenceCounter(); });
}

void runStartupExchanges(Models& m) {
    m.liveSession.startUp();
}

QString windowCaption(int versionCode, const ShellModel& shell) {
    const QString head = QStringLiteral("Quendrix wersja 4.3 (Build ") + Controller::defaultBuildText() +
                         QStringLiteral(" - ");
    if (versionCode != 0)
        return head + shell.text(textkey::CaptionController) + QLatin1Char(' ') +
               QString::number(versionCode);
    return head + shell.text(textkey::CaptionNoController);
}

} // namespace shell
