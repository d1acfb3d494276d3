#pragma once
// The live subsystem's exchanges as jobs of the controller link, with what
// their results change in the models.
#include <QString>

class ControllerLink;
namespace params {
class WriteGate;
}
class LiveModel;
class ParameterModel;
class QObject;

namespace live {

// ReadFeatureVersion; the version-dependent controls then follow its code
// when its answer arrived, and keep the last known features when it did not
// (late, cut short, with noise): a missed read must not hide them.
void postVersionFeatures(ControllerLink& link, LiveModel& model, QObject* receiver);

// The analog-threshold check and, on a controller that has the threshold, its
// read into Edit23 (the set's AnalogThreshold) when its answer arrived whole.
// The group's visibility follows the link state's analogCapable.
void postAnalogThreshold(ControllerLink& link, ParameterModel& params, QObject* receiver);

// ReadIgnition: the controller's stored ignition system selects both
// ignition lists (ComboBox2 and ComboTerm). A read that got no whole block
// leaves both as they are. The block it read tells the write gate what the
// controller holds, so a restore point can be kept before the next write.
void postReadIgnition(ControllerLink& link, params::WriteGate& gate, LiveModel& model, QObject* receiver);

// Leaving the engine-speed page: on a controller with the analog threshold the
// fitter's threshold is written in command mode (see writeThresholdOnLeave).
void postThresholdOnLeave(ControllerLink& link, ParameterModel& params, const QString& thresholdText);

} // namespace live
