#pragma once
#include "link/LinkState.h"
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"

#include <QDateTime>
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
    // Every page change: the filter starts empty, and a bad frame of the page
    // left no longer counts.
    void resetPeriodFilter();

    // Decodes a polled frame with the probe kind and reserve sensor in force
    // and the temperature capability of the version it was polled under; the
    // engine period goes through the shared filter and the speed uses
    // ignitionConstant.
    live::Readings decode(const LiveFrame& frame, int ignitionConstant);
    // The same through another filter (the drive log's, for frames no page decodes).
    live::Readings decode(const LiveFrame& frame, int ignitionConstant, PeriodFilter& filter) const;

    // The probe kind and reserve-sensor kind in force: the parameter set's
    // choice, else what the controller's block said.
    int probeKind() const;
    int reserveSensorKind() const;

    // The version-dependent controls, from a feature-version read that got
    // its answer (also one the link made after a reconnect); a read that got
    // none keeps them. The temperature instruments also follow the
    // temperature-sensor switch: the parameters page's check box once the
    // page has been filled, until then what the controller's block said.
    void setVersionCode(int versionCode);
    int versionCode() const { return versionCode_; }
    const live::VersionFeatures& features() const { return features_; }
    bool temperatureCapable() const { return features_.temperatureCapable; }

    // True while the last frame showed the stepper closed; petrol until a frame says gas.
    bool petrol() const { return petrol_; }
    void setPetrol(bool petrol);

    // Shown on the live page (TranserrorLabel) and in status panel 0: after
    // more than 20 silent polls in a row, from a frame that arrived short, out
    // of step or with a wrong checksum until a good frame arrives, and while
    // the port is down (its open failed or its device went away).
    bool transmissionError() const { return transmissionError_; }
    void setSilentPolls(int count);
    // The last polled frame that brought bytes was unusable; a good one clears it.
    bool frameError() const { return frameError_; }
    void frameReceived(const LiveFrame& frame);
    bool portDown() const { return portDown_; }
    // The port that is down.
    QString downPort() const { return downPort_; }
    // Since the first failed open or the loss of the device, until that port
    // opens again or another one is chosen; and since when (valid while down).
    QDateTime portDownSince() const { return portDownSince_; }

    // ComboBox2 (engine-speed page) and ComboTerm (wizard's first step).
    // Known once set (by a read from the controller or by the fitter): before
    // that the lists only show their start item, which must never be written.
    int ignitionChoice() const { return ignitionChoice_; }
    void setIgnitionChoice(int index);
    bool ignitionChoiceKnown() const { return ignitionChoiceKnown_; }
    int wizardIgnitionChoice() const { return wizardIgnitionChoice_; }
    void setWizardIgnitionChoice(int index);
    bool wizardIgnitionChoiceKnown() const { return wizardIgnitionChoiceKnown_; }

signals:
    void featuresChanged(const live::VersionFeatures& features);
    void petrolChanged(bool petrol);
    void transmissionErrorChanged(bool shown);
    void frameErrorChanged(bool bad);
    void ignitionChoiceChanged(int index);
    void wizardIgnitionChoiceChanged(int index);

private:
    void refreshFeatures();
    bool sensorChecked() const;
    // Tells the pages when it is shown or hidden, and when it says something else.
    void refreshTransmissionError(bool reasonChanged = false);
    void setPortUp();

    const ControllerLink& link_;
    const ParameterModel& params_;
    PeriodFilter filter_;
    live::VersionFeatures features_{false, false, false};
    int versionCode_ = 0;
    int linkFeatureVersion_ = -1;
    bool petrol_ = true;
    bool transmissionError_ = false;
    int silentPolls_ = 0;
    bool frameError_ = false;
    bool portDown_ = false;
    QString downPort_;
    QDateTime portDownSince_;
    int ignitionChoice_ = 2;
    int wizardIgnitionChoice_ = 2;
    bool ignitionChoiceKnown_ = false;
    bool wizardIgnitionChoiceKnown_ = false;
};
