#pragma once

// What the main window calls on a page. The window runs the common steps of a
// page change (leave steps of the page being left, ignition writes, filter
// reset, version read, polling stopped, port closed, panel 1 cleared) and then
// calls enterPage() on the page being entered; a tab click first asks the page
// being left through leaveByTab(). Pages post their exchanges to the link.
class PageHooks {
public:
    virtual ~PageHooks() = default;
    // The page's own entry steps: its reads, port opened, its polling started, focus.
    virtual void enterPage() = 0;
    // Checks before a tab click leaves this page; false keeps the page active.
    virtual bool leaveByTab() { return true; }
    // Exchanges that must reach the controller whenever the page is left,
    // by menu or tab, before the page change's own steps.
    virtual void leaveSteps() {}
    // Pages that give Enter (hidden item "Dalej") and Backspace ("Cofnij") a
    // meaning return true and get the two keys; on other pages the keys keep
    // their ordinary use in the page's widgets.
    virtual bool usesStepKeys() const { return false; }
    virtual void stepForward() {}
    virtual void stepBack() {}
};
