#include "live/LiveModel.h"

#include "link/ControllerLink.h"
#include "link/SerialChannel.h"
#include "params/ParameterModel.h"

LiveModel::LiveModel(const ControllerLink& link, const ParameterModel& params, QObject* parent)
    : QObject(parent), link_(link), params_(params) {
    connect(&link, &ControllerLink::silentPollsChanged, this, &LiveModel::setSilentPolls);
    connect(&link, &ControllerLink::framesPolled, this,
            [this](const QString&, const QVector<LiveFrame>& frames) {
                for (const LiveFrame& f : frames)
                    frameReceived(f);
            });
    // Down from the first failed open or lost device until that port opens
    // again, or another port is chosen.
    auto down = [this](const PortError& e) {
        if (portDown_ && downPort_ == e.port) return;
        downPort_ = e.port;
        portDown_ = true;
        portDownSince_ = QDateTime::currentDateTime();
        // The error may be shown already (a bad frame, silence): it now says why.
        refreshTransmissionError(true);
    };
    connect(&link, &ControllerLink::portOpenFailed, this, down);
    connect(&link, &ControllerLink::portLost, this, down);
    connect(&link, &ControllerLink::portOpened, this, [this](const QString& port) {
        if (portDown_ && port == downPort_) setPortUp();
    });
    connect(&link, &ControllerLink::stateChanged, this, [this](const LinkState& s) {
        if (portDown_ && s.selectedPort != downPort_) setPortUp();
        // The link read the features again (after a reconnect): the controls follow.
        if (s.featureVersion >= 0 && s.featureVersion != linkFeatureVersion_) {
            linkFeatureVersion_ = s.featureVersion;
            setVersionCode(s.featureVersion);
        }
    });
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
    return decode(frame, ignitionConstant, filter_);
}

live::Readings LiveModel::decode(const LiveFrame& frame, int ignitionConstant, PeriodFilter& filter) const {
    std::array<std::uint8_t, 7> bytes{};
    for (int i = 0; i < 7; ++i)
        bytes[static_cast<std::size_t>(i)] = frame[i];
    const int period = filter.push(live::enginePeriod(bytes[4], bytes[5]));
    live::FrameContext ctx;
    // Byte 2 is the temperature or the gas level by the version the frame
    // came under, whatever features were read before (or not read at all).
    ctx.temperatureCapable = frame.version != 0
                                 ? live::versionFeatures(frame.version, false).temperatureCapable
                                 : features_.temperatureCapable;
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

void LiveModel::resetPeriodFilter() {
    filter_.reset();
    if (!frameError_) return;
    frameError_ = false;
    emit frameErrorChanged(false);
    refreshTransmissionError();
}

void LiveModel::setSilentPolls(int count) {
    silentPolls_ = count;
    refreshTransmissionError();
}

void LiveModel::frameReceived(const LiveFrame& frame) {
    // A silent poll changes nothing here: silence has its own count.
    if (!frame.ok && frame.received == 0) return;
    const bool bad = !frame.ok;
    if (bad == frameError_) return;
    frameError_ = bad;
    emit frameErrorChanged(bad);
    refreshTransmissionError();
}

void LiveModel::setPortUp() {
    portDown_ = false;
    downPort_.clear();
    refreshTransmissionError(true);
}

void LiveModel::refreshTransmissionError(bool reasonChanged) {
    const bool shown = silentPolls_ > SerialChannel::SilentPollLimit || frameError_ || portDown_;
    if (shown == transmissionError_ && !reasonChanged) return;
    transmissionError_ = shown;
    emit transmissionErrorChanged(shown);
}

void LiveModel::setIgnitionChoice(int index) {
    ignitionChoiceKnown_ = true;
    if (ignitionChoice_ == index) return;
    ignitionChoice_ = index;
    emit ignitionChoiceChanged(index);
}

void LiveModel::setWizardIgnitionChoice(int index) {
    wizardIgnitionChoiceKnown_ = true;
    if (wizardIgnitionChoice_ == index) return;
    wizardIgnitionChoice_ = index;
    emit wizardIgnitionChoiceChanged(index);
}
