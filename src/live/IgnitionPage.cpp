#include "live/IgnitionPage.h"

#include "link/Controller.h"
#include "link/LinkState.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"

namespace live {

QStringList ignitionSystemItems() {
    return {QStringLiteral("Cewka na cylinder"), QStringLiteral("Podwójna cewka"),
            QStringLiteral("4 cylindry"),        QStringLiteral("5 cylindry"),
            QStringLiteral("6 cylindry"),        QStringLiteral("8 cylindry")};
}

QStringList analogThresholdItems() {
    QStringList items{QStringLiteral("1")};
    for (int v = 10; v <= 250; v += 10)
        items << QString::number(v);
    return items;
}

VersionFeatures versionFeatures(int versionCode, bool sensorChecked) {
    const bool capable = versionCode >= 4;
    return {capable, capable, capable && sensorChecked};
}

int ignitionConstantForChoice(int listIndex, int current) {
    return listIndex >= 0 && listIndex <= 5 ? Controller::ignitionConstantForIndex(listIndex) : current;
}

std::optional<SpeedReadout> engineSpeedTick(const LiveFrame& frame, PeriodFilter& filter, int constant) {
    if (!frame.ok) return std::nullopt;
    const int period = filter.push(enginePeriod(frame[4], frame[5]));
    const std::optional<int> speed = engineSpeed(constant, period);
    if (!speed) return std::nullopt;
    return SpeedReadout{*speed, QString::number(speedDisplay(*speed))};
}

bool writeThresholdOnLeave(Controller& controller, const QString& thresholdText) {
    if (!controller.ReadAnalogCapability()) return false;
    bool ok = false;
    thresholdText.trimmed().toInt(&ok);
    if (!ok) return false;
    SerialChannel& ch = controller.channel();
    const SerialChannel::Exchange traced(ch, TraceExchange::ThresholdWrite);
    ch.OpenPort();
    ch.sleepMs(20);
    ch.SendByte(0xAA);
    controller.setAnalogThreshold(thresholdText.trimmed());
    controller.WriteAnalogThreshold();
    ch.sleepMs(20);
    ch.SendByte(0x0A);
    return true;
}

} // namespace live
