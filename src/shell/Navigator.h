#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace shell {

// The five main pages in tab order.
enum class Page { Obroty = 0, Parametry, Wizualizacja, Autoadaptacja, Drukowanie };
constexpr int PageCount = 5;

// Object name of the page in the main page control.
QString pageObjectName(Page page);
// Command-line names: "obroty", "parametry", "wizualizacja", "autoadaptacja", "drukowanie".
QString pageOptionName(Page page);
std::optional<Page> pageFromOptionName(const QString& name);

// Switching between the main pages. The window only shows pages; this class
// runs what a change does to the controller link and the models, so it can be
// tested without widgets:
//  - a tab click asks the page being left (leaveByTab) and may be refused;
//  - a menu selection switches without asking;
//  - both then run the common steps (the page's leave steps, ignition writes
//    of a polling ignition page, filter reset, version read, polling stopped,
//    port closed, panel 1 cleared), the flag rules of the page being entered,
//    the automatic write, and its enterPage().
// A change asked for while the link is busy waits until it is idle, so a
// change during a write runs after the write.
class Navigator {
public:
    explicit Navigator(Models models);

    void setPage(Page page, PageHooks* hooks) { pages_[static_cast<int>(page)] = hooks; }
    PageHooks* page(Page page) const { return pages_[static_cast<int>(page)]; }

    // Makes a page the current one of the page control without any reaction.
    std::function<void(Page)> showPage;
    // Shows or hides the tab of the printout page.
    std::function<void(bool)> setPrintTabVisible;
    // Runs after a change's steps have been posted.
    std::function<void()> changed;

    Page current() const { return current_; }
    // The page shown at start, before any change has run.
    void setCurrent(Page page) { current_ = page; }

    // Menu items ParButton ... DruButton: select the page, then pagecontrol1Change.
    void selectFromMenu(Page page);
    // A tab click: pagecontrol1Changing on the page being left, then (when
    // allowed) the switch and pagecontrol1Change.
    void tabClicked(Page page);

    // The wizard's finishing: the parameters page becomes the current one
    // without the steps of a page change; its read, fill and write follow.
    void finishWizard();

    // pagecontrol1Changing: false keeps the current page.
    bool pagecontrol1Changing();
    // pagecontrol1Change: runs for the current page, `leaving` was the one before.
    void pagecontrol1Change(Page leaving);

    // How many times the leave checks ran (pagecontrol1Changing).
    int leaveChecks() const { return leaveChecks_; }

private:
    void switchTo(Page page);
    void commonSteps(Page leaving);

    Models m_;
    std::array<PageHooks*, PageCount> pages_{};
    Page current_ = Page::Obroty;
    int leaveChecks_ = 0;
};

} // namespace shell
