#pragma once
#include "core/ShellModel.h"

class ReadingsPanel;

// Connects the shared readings panel to the models of the parameters page:
// the TimerParamOdcz readings, the bar scaled by the probe kind of every fill,
// the temperature read-out by the controller's features, the fuel caption by
// the fuel in use and the language.
void feedReadingsPanel(ReadingsPanel& panel, Models models);
