#include "shell/Navigator.h"

#include "shell/Session.h"

#include <QTimer>

namespace shell {

namespace {
struct PageNames {
    const char* object;
    const char* option;
};
constexpr PageNames kNames[PageCount] = {
    {"ObrotyTab", "obroty"},
    {"ParametryTab", "parametry"},
    {"WizualizacjaTab", "wizualizacja"},
    {"AutoadaptacjaTab", "autoadaptacja"},
    {"DrukowanieTab", "drukowanie"},
};

bool running(const QTimer* t) {
    return t && t->isActive();
}
} // namespace

QString pageObjectName(Page page) {
    return QString::fromLatin1(kNames[static_cast<int>(page)].object);
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

Navigator::Navigator(Session& session) : s_(session) {}

void Navigator::selectFromMenu(Page page) {
    current_ = page;
    if (showPage) showPage(page);
    pagecontrol1Change();
}

bool Navigator::tabClicked(Page page) {
    if (page == current_) return false;
    if (!pagecontrol1Changing()) return false;
    current_ = page;
    if (showPage) showPage(page);
    pagecontrol1Change();
    return true;
}

bool Navigator::pagecontrol1Changing() {
    ++leaveChecks_;
    PageHooks* leaving = page(current_);
    return leaving ? leaving->leaveByTab() : true;
}

void Navigator::writeIgnitionIfPolling() {
    // A leave step of the page may have closed the port (the analog threshold
    // write does); the ignition choice must still reach the controller.
    const bool obr = running(s_.timers.TimerObr);
    const bool term = running(s_.timers.TimerAdaptTerm);
    if ((obr || term) && !s_.channel.isOpen()) s_.channel.OpenPort();
    if (obr)
        s_.controller.WriteIgnition(s_.chosenIgnitionIndex ? s_.chosenIgnitionIndex()
                                                           : s_.controller.ignitionIndex());
    if (term)
        s_.controller.WriteIgnition(s_.chosenWizardIgnitionIndex ? s_.chosenWizardIgnitionIndex()
                                                                 : s_.controller.ignitionIndex());
}

void Navigator::commonSteps() {
    writeIgnitionIfPolling();
    s_.periodFilter.reset();
    s_.controller.ReadVersion();
    s_.channel.StopPolling();
    s_.channel.ClosePort();
    s_.message(QString());
}

void Navigator::pagecontrol1Change() {
    commonSteps();
    const Page entering = current_;
    switch (entering) {
    case Page::Obroty:
    case Page::Wizualizacja:
        // The parameters page may hold values the controller does not have yet.
        // Until the page has been filled from the controller it holds nothing
        // the fitter chose, and writing it would replace the controller's own
        // settings with the page's design values.
        if (!s_.written && s_.paramsVisited && s_.collectAndWriteParameters) s_.collectAndWriteParameters();
        break;
    case Page::Parametry:
        s_.paramsVisited = true;
        if (setPrintTabVisible) setPrintTabVisible(true);
        s_.written = false;
        break;
    case Page::Autoadaptacja:
    case Page::Drukowanie:
        s_.written = false;
        break;
    }
    if (PageHooks* p = page(entering)) p->enterPage();
    if (entering == Page::Obroty || entering == Page::Wizualizacja) s_.written = true;
}

} // namespace shell
