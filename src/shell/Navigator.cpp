#include "shell/Navigator.h"

#include "core/Controls.h"
#include "core/PollTimers.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "shell/Logging.h"

using Id = ctl::ControlId;

namespace shell {

namespace {
struct PageNames {
    ctl::ControlId object;
    const char* option;
};
constexpr PageNames kNames[PageCount] = {
    {Id::ObrotyTab, "obroty"},
    {Id::ParametryTab, "parametry"},
    {Id::WizualizacjaTab, "wizualizacja"},
    {Id::AutoadaptacjaTab, "autoadaptacja"},
    {Id::DrukowanieTab, "drukowanie"},
};
} // namespace

QString pageObjectName(Page page) {
    return ctl::name(kNames[static_cast<int>(page)].object);
}

QString pageOptionName(Page page) {
    return QString::fromLatin1(kNames[static_cast<int>(page)].option);
}

std::optional<Page> pageFromOptionName(const QString& name) {
    const QString n = name.trimmed().toLower();
    for (int i = 0; i < PageCount; ++i)
        if (n == QLatin1String(kNames[i].option)) return static_cast<Page>(i);
    return std::nullopt;
}

Navigator::Navigator(Models models) : m_(models) {}

void Navigator::selectFromMenu(Page page) {
    m_.link.whenIdle(nullptr, [this, page] { switchTo(page); });
}

void Navigator::tabClicked(Page page) {
    m_.link.whenIdle(nullptr, [this, page] {
        if (page == current_) return;
        if (!pagecontrol1Changing()) return;
        switchTo(page);
    });
}

void Navigator::switchTo(Page page) {
    const Page leaving = current_;
    current_ = page;
    qCDebug(lcShell) << "page" << int(leaving) << "->" << int(page);
    if (showPage) showPage(page);
    pagecontrol1Change(leaving);
    if (changed) changed();
}

void Navigator::finishWizard() {
    current_ = Page::Parametry;
    m_.link.stopAllPolling();
    m_.params.setWritten(false);
    m_.shell.paramsVisited = true;
    if (setPrintTabVisible) setPrintTabVisible(true);
    if (showPage) showPage(Page::Parametry);
    if (changed) changed();
}

bool Navigator::pagecontrol1Changing() {
    ++leaveChecks_;
    PageHooks* leaving = page(current_);
    return leaving ? leaving->leaveByTab() : true;
}

void Navigator::commonSteps(Page leaving) {
    // Frames and results still on their way belong to the page being left.
    m_.link.supersede();
    if (PageHooks* p = page(leaving)) p->leaveSteps();

    // An ignition list that was never read nor set by the fitter shows only
    // its start item: that is no choice to write.
    const bool obr = m_.link.isPolling(polltimer::name(polltimer::Obr)) && m_.live.ignitionChoiceKnown();
    const bool term =
        m_.link.isPolling(polltimer::name(polltimer::AdaptTerm)) && m_.live.wizardIgnitionChoiceKnown();
    const int obrIndex = m_.live.ignitionChoice();
    const int termIndex = m_.live.wizardIgnitionChoice();
    m_.link.stopAllPolling();
    m_.live.resetPeriodFilter();
    m_.link.run(nullptr, [obr, term, obrIndex, termIndex](Controller& c) {
        // A leave step may have closed the port; the ignition choice must still
        // reach the controller.
        if ((obr || term) && !c.channel().isOpen()) c.channel().OpenPort();
        if (obr) c.WriteIgnition(obrIndex);
        if (term) c.WriteIgnition(termIndex);
        c.ReadVersion();
        c.channel().ClosePort();
    });
    m_.shell.setMessage(QString());
}

void Navigator::pagecontrol1Change(Page leaving) {
    commonSteps(leaving);
    const Page entering = current_;
    switch (entering) {
    case Page::Obroty:
    case Page::Wizualizacja:
        m_.paramSession.automaticWrite();
        break;
    case Page::Parametry:
        m_.shell.paramsVisited = true;
        if (setPrintTabVisible) setPrintTabVisible(true);
        m_.params.setWritten(false);
        break;
    case Page::Autoadaptacja:
    case Page::Drukowanie:
        m_.params.setWritten(false);
        break;
    }
    if (PageHooks* p = page(entering)) p->enterPage();
}

} // namespace shell
