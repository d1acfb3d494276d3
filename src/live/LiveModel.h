#pragma once
#include "link/LinkState.h"
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"

#include <QObject>

class ControllerLink;
class ParameterModel;

// The live readings every page shares: the period filter of the engine-speed
// displays, what the controller's version switches on, petrol or gas, the
// transmission-error state and the two ignition-system choices (engine-speed
// page and the wizard's first step). Pages observe it; none reaches another.
class LiveModel : public QObject {
    Q_OBJECT
public:
    LiveModel(const ControllerLink& link, const ParameterModel& params, QObject* parent = nullptr);

    PeriodFilter& periodFilter() { return filter_; }
    void resetPeriodFilter() { filter_.reset(); }

    // Decodes a polled frame with the probe kind, reserve sensor and
    // temperature capability in force; the engine period goes through the
    // shared filter and the speed uses ignitionConstant.
    live::Readings decode(const LiveFrame& frame, int ignitionConstant);

    // The probe kind and reserve-sensor kind in force: the parameter set's
    // choice, else what the controller's block said.
    int probeKind() const;
    int reserveSensorKind() const;

    // The version-dependent controls, from a feature-version read. The
    // temperature instruments also follow the temperature-sensor switch: the
    // parameters page's check box once the page has been filled, until then
    // what the controller's block said.
    void setVersionCode(int versionCode);
    const live::VersionFeatures& features() const { return features_; }
    bool temperatureCapable() const { return features_.temperatureCapable; }

    // True while the last frame showed the stepper closed; petrol until a frame says gas.
    bool petrol() const { return petrol_; }
    void setPetrol(bool petrol);

    // Shown on the live page after more than 20 silent polls in a row.
    bool transmissionError() const { return transmissionError_; }
    void setSilentPolls(int count);

    // ComboBox2 (engine-speed page) and ComboTerm (wizard's first step).
    int ignitionChoice() const { return ignitionChoice_; }
    void setIgnitionChoice(int index);
    int wizardIgnitionChoice() const { return wizardIgnitionChoice_; }
    void setWizardIgnitionChoice(int index);

signals:
    void featuresChanged(const live::VersionFeatures& features);
    void petrolChanged(bool petrol);
    void transmissionErrorChanged(bool shown);
    void ignitionChoiceChanged(int index);
    void wizardIgnitionChoiceChanged(int index);

private:
    void refreshFeatures();
    bool sensorChecked() const;

    const ControllerLink& link_;
    const ParameterModel& params_;
    PeriodFilter filter_;
    live::VersionFeatures features_{false, false, false};
    int versionCode_ = 0;
    bool petrol_ = true;
    bool transmissionError_ = false;
    int ignitionChoice_ = 2;
    int wizardIgnitionChoice_ = 2;
};
