#pragma once
#include "live/LiveDecode.h"

#include <QPointer>

class Session;
class WizualizacjaPage;
class ReadingsPanel;
class ObrotyPage;

// The live-monitoring views of one session, so that a decision one of them
// makes (the temperature features, the petrol/gas caption) reaches the others
// without the main window passing it round.
struct LiveViews {
    QPointer<WizualizacjaPage> live;
    QPointer<ReadingsPanel> readings;
    QPointer<ObrotyPage> obroty;
    // True while the last frame showed the stepper closed (running on petrol).
    bool petrol = false;

    static LiveViews& of(Session& session);
};

// Whether the fitter has the temperature sensor switched on (CheckBox22_2 of
// the parameters page, else the parameter set's TempSensorOn).
bool temperatureSensorChecked(Session& session);

// The version-dependent controls: ReadFeatureVersion, then the temperature
// features of every page shown or hidden by the version code.
void applyVersionDependentControls(Session& session);

// Petrol and gas words (language texts 10408 and 10409).
QString petrolText(const Session& session);
QString gasText(const Session& session);

// The probe kind and the reserve-sensor kind in force: the parameter set's
// choice index, else what the controller's block said.
int currentProbeKind(const Session& session);
int currentReserveSensorKind(const Session& session);

// The live frame in the receive buffer decoded with the session's probe kind,
// reserve sensor, ignition constant and temperature capability; the engine
// period goes through the shared period filter.
live::Readings decodeReceivedFrame(Session& session);
