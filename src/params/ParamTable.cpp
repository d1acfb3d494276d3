#include "params/ParamTable.h"

namespace {

QStringList analogItems() {
    QStringList items{QStringLiteral("1")};
    for (int v = 10; v <= 250; v += 10)
        items << QString::number(v);
    return items;
}

std::vector<ParamDef> buildTable() {
    using K = ParamDef;
    const QString rpm = QStringLiteral("obr/min");
    const QString ms = QStringLiteral("ms");
    const QString volt = QStringLiteral("V");
    const QString none;
    const QStringList noItems;
    const QStringList rising{QStringLiteral("rosnący"), QStringLiteral("malejący")};
    const QStringList rpmKinds{QStringLiteral("rosnące"), QStringLiteral("malejące")};
    const QStringList probes{QStringLiteral("0 - 1 [V]"), QStringLiteral("0 - 5 [V]"),
                             QStringLiteral("5 - 0 [V]"), QStringLiteral("0,8 - 1,6 [V]"),
                             QStringLiteral("1 - 0 [V]")};
    const QStringList modes{QStringLiteral("ekonomiczna"), QStringLiteral("dynamiczna")};
    const QStringList reserve{QStringLiteral("20K"), QStringLiteral("90R")};
    const QString stepLabel = QStringLiteral("Min. i Max. silnika krok.");
    const QString lambdaLabel = QStringLiteral("Czas sondy Lambda");

    // clang-format off
    return {
        {ParamId::ProbeKind, "ProbeKind", "ComboBox1", "Rodzaj sondy lambda", 100, none, K::Choice, 0, 4, "0", probes, 0},
        {ParamId::LambdaThreshold, "LambdaThreshold", "Edit2", "Próg sondy lambda", 101, volt, K::Volts, 10, 490, "0,50", noItems, 4},
        {ParamId::SwitchRpm, "SwitchRpm", "Edit3", "Obroty dla przejścia B/G", 102, rpm, K::Number, 1000, 9000, "2000", noItems, 5},
        {ParamId::TpsKind, "TpsKind", "ComboBox4", "Typ czujnika TPS", 103, none, K::Choice, 0, 1, "0", rising, 0},
        {ParamId::TpsThreshold, "TpsThreshold", "Edit5", "Próg czujnika TPS", 104, volt, K::Volts, 0, 990, "1,25", noItems, 4},
        {ParamId::StepSpeedAboveTps, "StepSpeedAboveTps", "Edit6", "Silnik krok pow. TPS", 105, none, K::Number, 1, 24, "3", noItems, 2},
        {ParamId::StepSpeedBelowTps, "StepSpeedBelowTps", "Edit7", "Silnik krok pon. TPS", 106, none, K::Number, 1, 24, "6", noItems, 2},
        {ParamId::MaxGasRpm, "MaxGasRpm", "Edit8_1", "Maksymalne obroty na gazie", 107, rpm, K::Number, 1000, 9000, "7000", noItems, 5},
        {ParamId::MaxGasRpmOff, "MaxGasRpmOff", "CheckBox8_2", "Wyłącz max. obroty", 108, none, K::Flag, 0, 1, "0", noItems, 0},
        {ParamId::RpmKind, "RpmKind", "ComboBox9", "Rodzaj obrotów", 109, none, K::Choice, 0, 1, "0", rpmKinds, 0},
        {ParamId::RpmDelta, "RpmDelta", "Edit10", "Delta obrotów", 110, rpm, K::Number, 0, 5000, "500", noItems, 5},
        {ParamId::StepMin, "StepMin", "Edit11_1", stepLabel, 111, none, K::Number, 0, 255, "10", noItems, 3},
        {ParamId::StepMax, "StepMax", "Edit11_2", stepLabel, 112, none, K::Number, 0, 255, "200", noItems, 3},
        {ParamId::StepStart, "StepStart", "Edit12", "Start. pow. silnika krok.", 113, none, K::Number, 1, 255, "100", noItems, 3},
        {ParamId::StartDelay, "StartDelay", "Edit14", "Opóźnienie startowe", 114, "s", K::Number, 1, 50, "1", noItems, 3},
        {ParamId::LambdaLowTime, "LambdaLowTime", "Edit13_1", lambdaLabel, 115, ms, K::Number, 0, 4000, "500", noItems, 5},
        {ParamId::LambdaHighTime, "LambdaHighTime", "Edit13_2", lambdaLabel, 116, ms, K::Number, 0, 4000, "500", noItems, 5},
        {ParamId::LambdaBosch, "LambdaBosch", "CheckBox13_3", "Lambda - BOSCH", 117, none, K::Flag, 0, 1, "0", noItems, 0},
        {ParamId::CutoffOn, "CutoffOn", "CheckBox15", "Włączenie cutoff", 118, none, K::Flag, 0, 1, "0", noItems, 0},
        {ParamId::CutoffStep, "CutoffStep", "Edit16", "Silnik krokowy przy cutoff", 119, none, K::Number, 1, 255, "30", noItems, 3},
        {ParamId::CutoffRpm, "CutoffRpm", "Edit17", "Obroty silnika dla cutoff", 120, rpm, K::Number, 500, 5000, "1500", noItems, 5},
        {ParamId::StepOpening, "StepOpening", "Edit18", "Otwarcie silnika krokowego", 121, none, K::Number, 2, 50, "30", noItems, 3},
        {ParamId::SwitchDelay, "SwitchDelay", "Edit19", "czas nakladania paliw", 122, ms, K::Number, 100, 10000, "100", noItems, 5},
        {ParamId::ControllerMode, "ControllerMode", "ComboBox20", "Tryb pracy sterownika", 123, none, K::Choice, 0, 1, "0", modes, 0},
        {ParamId::ReserveSensorKind, "ReserveSensorKind", "ComboBox21", "Typ szkiełka rezerwy", 124, none, K::Choice, 0, 1, "1", reserve, 0},
        {ParamId::TempSensorOn, "TempSensorOn", "CheckBox22_2", "Włącz czujnik temperatury", 126, none, K::Flag, 0, 1, "0", noItems, 0},
        // Edit22_1 takes two typed characters although its range reaches 100.
        {ParamId::SwitchTemp, "SwitchTemp", "Edit22_1", "Min temp przełączenia na gaz", -1, "°C", K::Number, 0, 100, "0", noItems, 2},
        {ParamId::AnalogThreshold, "AnalogThreshold", "Edit23", "Próg analogowy obrotów", -1, none, K::Number, 1, 250, "1", analogItems(), 3},
    };
    // clang-format on
}

} // namespace

const std::vector<ParamDef>& paramTable() {
    static const std::vector<ParamDef> table = buildTable();
    return table;
}

const ParamDef& paramDef(ParamId id) {
    return paramTable().at(static_cast<std::size_t>(id));
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
