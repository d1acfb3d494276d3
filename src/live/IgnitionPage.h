#pragma once
// The engine-speed page without its widgets: the ignition-system list, what
// the controller's version code switches on, one poll and the steps that make
// the fitter's choices reach the controller when the page is left.
#include <QString>
#include <QStringList>
#include <optional>

class Controller;
class PeriodFilter;
struct LiveFrame;

namespace live {

// ComboBox2 / ComboTerm items; the item index is what the controller stores.
QStringList ignitionSystemItems();
// Edit23's list: "1", "10", "20" ... "250".
QStringList analogThresholdItems();

// What a version code switches on.
struct VersionFeatures {
    bool temperatureCapable;     // the live frame carries the temperature in byte 2
    bool temperatureControls;    // CheckBox22_2, Edit22_1 and the wizard's sensor switch
    bool temperatureInstruments; // thermometer, temperature panel and their labels
};
VersionFeatures versionFeatures(int versionCode, bool sensorChecked);

// The engine-speed read-out: gauge1's digit and Panelobroty's text.
struct SpeedReadout {
    int digit;
    QString panel;
};

// The ignition constant a TimerObr tick converts with: the list index's, or
// `current` when the index is outside the list.
int ignitionConstantForChoice(int listIndex, int current);

// One TimerObr tick on its polled frame: a good frame's period goes through
// the filter and gives the read-out; a frame cut short, out of step or with a
// wrong checksum is no reading and leaves the filter alone. nullopt leaves
// the read-out as it is.
std::optional<SpeedReadout> engineSpeedTick(const LiveFrame& frame, PeriodFilter& filter, int constant);

// Leaving the page by a tab click. On a controller with the analog threshold
// the fitter's threshold (not one re-read from the controller) is written in
// command mode: OpenPort, 20 ms, 0xAA, WriteAnalogThreshold, 20 ms, 0x0A.
// The port is left open so that the ignition write of the page change that
// follows reaches the controller too. A threshold text that is not a number
// sends nothing, so the controller is never left in command mode half-way.
// Returns whether the threshold was written.
bool writeThresholdOnLeave(Controller& controller, const QString& thresholdText);

} // namespace live
