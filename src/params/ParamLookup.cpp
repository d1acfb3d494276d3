// The parameter table's lookups, bounds as shown and the parameters page's
// order, groups and captions; the table itself is built in ParamTable.cpp.
#include "core/Controls.h"
#include "params/ParamTable.h"

using Id = ctl::ControlId;

namespace {

// Volts bounds are written with one decimal: 10 -> "0,1", 490 -> "4,9".
QString boundText(const ParamDef& d, int v) {
    if (d.kind != ParamDef::Volts) return QString::number(v);
    return QString::number(v / 100) + QLatin1Char(',') + QString::number(v / 10 % 10);
}

} // namespace

QString ParamDef::lowerText() const {
    return boundText(*this, min);
}

QString ParamDef::upperText() const {
    return boundText(*this, max);
}

const ParamDef& paramDef(ParamId id) {
    return paramTable().at(static_cast<std::size_t>(id));
}

QString captionIn(const ParamWords& words, const ParamDef& d) {
    const QString c = words.caption ? words.caption(d.id) : QString();
    return c.isEmpty() ? d.label : c;
}

QString itemIn(const ParamWords& words, const ParamDef& d, int item) {
    if (item < 0 || item >= d.items.size()) return {};
    const QString t = words.item ? words.item(d.id, item) : QString();
    return t.isEmpty() ? d.items.at(item) : t;
}

const ParamDef* paramByControl(const QString& objectName) {
    for (const ParamDef& d : paramTable())
        if (d.control == objectName) return &d;
    return nullptr;
}

const ParamDef* paramByFileNo(int fileNo) {
    if (fileNo < 0) return nullptr;
    for (const ParamDef& d : paramTable())
        if (d.fileNo == fileNo) return &d;
    return nullptr;
}

ParameterSet defaultParameterSet() {
    ParameterSet set;
    for (const ParamDef& d : paramTable())
        set[d.id] = d.defaultText;
    return set;
}

const std::vector<ParamId>& pageTabOrder() {
    using P = ParamId;
    static const std::vector<ParamId> order = {
        P::ProbeKind,         P::LambdaThreshold,   P::LambdaLowTime, P::LambdaHighTime, P::LambdaBosch,
        P::TpsKind,           P::TpsThreshold,      P::SwitchRpm,     P::RpmKind,        P::RpmDelta,
        P::StartDelay,        P::SwitchDelay,       P::MaxGasRpm,     P::MaxGasRpmOff,   P::SwitchTemp,
        P::TempSensorOn,      P::StepMin,           P::StepMax,       P::StepStart,      P::StepSpeedBelowTps,
        P::StepSpeedAboveTps, P::StepOpening,       P::CutoffOn,      P::CutoffStep,     P::CutoffRpm,
        P::ControllerMode,    P::ReserveSensorKind,
    };
    return order;
}

const std::vector<PageGroup>& pageGroups() {
    static const std::vector<PageGroup> groups = {
        {1, ctl::name(Id::GroupBox20), QStringLiteral("Sonda lambda")},
        {2, ctl::name(Id::GroupBox9), QStringLiteral("Czujnik TPS")},
        {3, ctl::name(Id::GroupBox14), QStringLiteral("Obroty i przełączanie")},
        {4, ctl::name(Id::GroupBox22), QStringLiteral("Silnik krokowy")},
        {5, ctl::name(Id::GroupBox8), QStringLiteral("Cutoff")},
        {6, ctl::name(Id::GroupBox21), QStringLiteral("Sterownik")},
    };
    return groups;
}

const std::vector<PageLabel>& pageLabels() {
    static const std::vector<PageLabel> labels = [] {
        std::vector<PageLabel> out;
        for (ParamId id : pageTabOrder())
            for (const CaptionLabel& l : paramDef(id).labels) {
                bool seen = false;
                for (const PageLabel& p : out)
                    seen = seen || p.label.name == l.name;
                if (!seen) out.push_back({l, id});
            }
        return out;
    }();
    return labels;
}
