#include "live/ui/LiveViews.h"

#include "live/IgnitionPage.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/ReadingsPanel.h"
#include "live/ui/WizualizacjaPage.h"
#include "shell/Session.h"

#include <QHash>
#include <QVariant>
#include <QWidget>

LiveViews& LiveViews::of(Session& session) {
    static QHash<const Session*, LiveViews> views;
    return views[&session];
}

bool temperatureSensorChecked(Session& session) {
    LiveViews& v = LiveViews::of(session);
    for (QWidget* w : {static_cast<QWidget*>(v.readings.data()), static_cast<QWidget*>(v.live.data()),
                       static_cast<QWidget*>(v.obroty.data())}) {
        if (!w) continue;
        if (QObject* box = w->window()->findChild<QObject*>(QStringLiteral("CheckBox22_2"))) {
            const QVariant checked = box->property("checked");
            if (checked.isValid()) return checked.toBool();
        }
    }
    return session.params[ParamId::TempSensorOn] == QLatin1String("1");
}

void applyVersionDependentControls(Session& session) {
    const int version = session.controller.ReadFeatureVersion();
    const live::VersionFeatures f = live::versionFeatures(version, temperatureSensorChecked(session));
    session.temperatureCapable = f.temperatureCapable;
    if (session.showTemperatureFeatures) session.showTemperatureFeatures(f.temperatureControls);
    LiveViews& v = LiveViews::of(session);
    // The wizard's sensor switch on its temperature step, wherever the window holds it.
    for (QWidget* page : {static_cast<QWidget*>(v.obroty.data()), static_cast<QWidget*>(v.live.data())}) {
        if (!page) continue;
        for (const char* name : {"WlCzujtTempAd", "WlCzujtTempCheckAd"})
            if (QWidget* w = page->window()->findChild<QWidget*>(QString::fromLatin1(name)))
                w->setVisible(f.temperatureControls);
        break;
    }
    if (v.live) v.live->showTemperatureInstruments(f.temperatureInstruments);
    if (v.readings) v.readings->showTemperatureInstruments(f.temperatureInstruments);
}

QString petrolText(const Session& session) {
    const QString t = session.text(10408);
    return t.isEmpty() ? QStringLiteral("Benzyna") : t;
}

QString gasText(const Session& session) {
    const QString t = session.text(10409);
    return t.isEmpty() ? QStringLiteral("Gaz") : t;
}

int currentProbeKind(const Session& session) {
    bool ok = false;
    const int k = session.params[ParamId::ProbeKind].toInt(&ok);
    return ok ? k : session.controller.probeKind();
}

int currentReserveSensorKind(const Session& session) {
    bool ok = false;
    const int k = session.params[ParamId::ReserveSensorKind].toInt(&ok);
    if (ok) return k;
    return (session.controller.flags() & 0x80) ? 0 : 1;
}

live::Readings decodeReceivedFrame(Session& session) {
    Controller& c = session.controller;
    std::array<std::uint8_t, 7> frame{};
    for (int i = 0; i < 7; ++i)
        frame[static_cast<std::size_t>(i)] = c.frameByte(i);
    const int period = session.periodFilter.push(live::enginePeriod(frame[4], frame[5]));
    live::FrameContext ctx;
    ctx.temperatureCapable = session.temperatureCapable;
    ctx.probeKind = currentProbeKind(session);
    ctx.reserveSensorKind = currentReserveSensorKind(session);
    ctx.ignitionConstant = c.ignitionConstant();
    return live::decodeFrame(frame, period, ctx);
}
