#pragma once
#include "core/ShellModel.h"
#include "core/TextKeys.h"
#include "link/Autodetect.h"
#include "link/LinkObserver.h"

// The message box of a port that cannot be opened: the language text, the
// device with why, and what to do when access was refused.
QString portErrorMessage(const PortError& error, const ShellModel& shell);
// Status panel 0 while a port is down: the device and why.
QString portErrorPanelText(const PortError& error, const ShellModel& shell);

// Status panel 1 during and after autodetection: "Sterownik znaleziono na com3",
// "Sterownika nie znaleziono na com1", and language text 30001 when no port had one.
QString autodetectStepText(const AutodetectStep& step, const ShellModel& shell);
QString autodetectResultText(const AutodetectResult& result, const ShellModel& shell);
