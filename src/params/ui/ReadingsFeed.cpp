#include "params/ui/ReadingsFeed.h"

#include "core/TextKeys.h"
#include "live/LiveDecode.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/ParameterModel.h"
#include "ui/ReadingsPanel.h"

void feedReadingsPanel(ReadingsPanel& panel, Models m) {
    ReadingsPanel* p = &panel;
    auto showFuel = [p, m] {
        const bool petrol = m.live.petrol();
        p->showFuel(petrol, petrol ? m.shell.text(textkey::Petrol, QStringLiteral("Benzyna"))
                                   : m.shell.text(textkey::Gas, QStringLiteral("Gaz")));
    };
    showFuel();
    p->applyProbeScale(live::probeScale(-1));
    p->showTemperature(m.live.features().temperatureInstruments);

    QObject::connect(&m.liveSession, &LiveSession::panelRead, p, &ReadingsPanel::showReadings);
    // The bar follows the probe kind of every fill of the page.
    QObject::connect(&m.params, &ParameterModel::filled, p,
                     [p, m] { p->applyProbeScale(live::probeScale(m.live.probeKind())); });
    QObject::connect(&m.live, &LiveModel::featuresChanged, p,
                     [p](const live::VersionFeatures& f) { p->showTemperature(f.temperatureInstruments); });
    QObject::connect(&m.live, &LiveModel::petrolChanged, p, showFuel);
    QObject::connect(&m.shell, &ShellModel::textsChanged, p, showFuel);
}
