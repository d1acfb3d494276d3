#pragma once
#include <functional>

class Session;

namespace shell {

// The page steps the creation sequence of the main window runs; each is
// supplied by the engine-speed page.
struct StartupSteps {
    // Version-dependent controls (the feature version read and what it shows).
    std::function<void()> versionDependentControls;
    // Analog-threshold check and, when available, the threshold read into Edit23.
    std::function<void()> analogThreshold;
    // The controller's ignition system into ComboBox2 and ComboTerm.
    std::function<void()> readIgnition;
};

// Run-time state a new main window starts from: label highlight, keyboard
// flag, period filter, silence counter.
void resetRuntimeState(Session& session);

// The controller exchanges of the creation sequence, in order: version-
// dependent controls, analog threshold, version read (caption), ignition
// read, port closed and reopened, TimerObr enabled.
void runStartupExchanges(Session& session, const StartupSteps& steps);

} // namespace shell
