#include "live/LiveModel.h"

#include "link/ControllerLink.h"
#include "link/SerialChannel.h"
#include "params/ParameterModel.h"

LiveModel::LiveModel(const ControllerLink& link, const ParameterModel& params, QObject* parent)
    : QObject(parent), link_(link), params_(params) {
    connect(&link, &ControllerLink::silentPollsChanged, this, &LiveModel::setSilentPolls);
    connect(&params, &ParameterModel::setChanged, this, &LiveModel::refreshFeatures);
    connect(&params, &ParameterModel::pageValueChanged, this, [this](ParamId id) {
        if (id == ParamId::TempSensorOn) refreshFeatures();
    });
}

bool LiveModel::sensorChecked() const {
    const ParamId id = ParamId::TempSensorOn;
    if (params_.origin() != ParameterModel::Origin::None) return params_.pageValue(id) == QLatin1String("1");
    return params_.set()[id] == QLatin1String("1");
}

void LiveModel::refreshFeatures() {
    const live::VersionFeatures f = live::versionFeatures(versionCode_, sensorChecked());
    if (f.temperatureCapable == features_.temperatureCapable &&
        f.temperatureControls == features_.temperatureControls &&
        f.temperatureInstruments == features_.temperatureInstruments)
        return;
    features_ = f;
    emit featuresChanged(features_);
}

int LiveModel::probeKind() const {
    bool ok = false;
    const int k = params_.set()[ParamId::ProbeKind].toInt(&ok);
    return ok ? k : link_.state().probeKind;
}

int LiveModel::reserveSensorKind() const {
    bool ok = false;
    const int k = params_.set()[ParamId::ReserveSensorKind].toInt(&ok);
    if (ok) return k;
    return (link_.state().flags & 0x80) ? 0 : 1;
}

live::Readings LiveModel::decode(const LiveFrame& frame, int ignitionConstant) {
    std::array<std::uint8_t, 7> bytes{};
    for (int i = 0; i < 7; ++i)
        bytes[static_cast<std::size_t>(i)] = frame[i];
    const int period = filter_.push(live::enginePeriod(bytes[4], bytes[5]));
    live::FrameContext ctx;
    ctx.temperatureCapable = features_.temperatureCapable;
    ctx.probeKind = probeKind();
    ctx.reserveSensorKind = reserveSensorKind();
    ctx.ignitionConstant = ignitionConstant;
    return live::decodeFrame(bytes, period, ctx);
}

void LiveModel::setVersionCode(int versionCode) {
    versionCode_ = versionCode;
    // Pages show or hide their controls on every feature read, changed or not.
    features_ = live::versionFeatures(versionCode_, sensorChecked());
    emit featuresChanged(features_);
}

void LiveModel::setPetrol(bool petrol) {
    if (petrol_ == petrol) return;
    petrol_ = petrol;
    emit petrolChanged(petrol_);
}

void LiveModel::setSilentPolls(int count) {
    const bool shown = count > SerialChannel::SilentPollLimit;
    if (shown == transmissionError_) return;
    transmissionError_ = shown;
    emit transmissionErrorChanged(shown);
}

void LiveModel::setIgnitionChoice(int index) {
    if (ignitionChoice_ == index) return;
    ignitionChoice_ = index;
    emit ignitionChoiceChanged(index);
}

void LiveModel::setWizardIgnitionChoice(int index) {
    if (wizardIgnitionChoice_ == index) return;
    wizardIgnitionChoice_ = index;
    emit wizardIgnitionChoiceChanged(index);
}
