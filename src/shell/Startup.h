#pragma once
#include "core/ShellModel.h"

namespace shell {

// Run-time state a new main window starts from: label highlight, keyboard
// flag, period filter, silence counter.
void resetRuntimeState(Models& models);

// The controller exchanges of the creation sequence, in order: version-
// dependent controls, analog threshold, version read (caption), ignition read
// into both ignition lists, port closed and reopened, TimerObr started.
void runStartupExchanges(Models& models);

// The window caption a version read gives: with the controller's version
// code, or the no-controller text for code 0.
QString windowCaption(int versionCode, const ShellModel& shell);

} // namespace shell
