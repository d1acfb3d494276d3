#include "params/ParamTable.h"

namespace {

QStringList analogItems() {
    QStringList items{QStringLiteral("1")};
    for (int v = 10; v <= 250; v += 10)
        items << QString::number(v);
    return items;
}

// A bit of the flags byte.
WireFacts flagBit(int bit) {
    return {.command = FlagsCommand, .blockByte = FlagsByte, .flagBit = bit};
}

CaptionLabel label(const char* name, const char* text, bool givesFocus = true) {
    return {QString::fromLatin1(name), QString::fromUtf8(text), givesFocus};
}

std::vector<ParamDef> buildTable() {
    using K = ParamDef;
    const QString rpm = QStringLiteral("obr/min");
    const QString ms = QStringLiteral("ms");
    const QString volt = QStringLiteral("V");
    const QStringList rising{QStringLiteral("rosnący"), QStringLiteral("malejący")};
    const QStringList rpmKinds{QStringLiteral("rosnące"), QStringLiteral("malejące")};
    const QStringList probes{QStringLiteral("0 - 1 [V]"), QStringLiteral("0 - 5 [V]"),
                             QStringLiteral("5 - 0 [V]"), QStringLiteral("0,8 - 1,6 [V]"),
                             QStringLiteral("1 - 0 [V]")};
    const QStringList modes{QStringLiteral("ekonomiczna"), QStringLiteral("dynamiczna")};
    const QStringList reserve{QStringLiteral("20K"), QStringLiteral("90R")};
    // Labels and comments two controls share.
    const CaptionLabel stepLabel = label("Label12", "Min. i Max. silnika krok.");
    const CaptionLabel lambdaLabel = label("Label14", "Czas sondy Lambda");
    const QString maxGasComment = QStringLiteral("Maksymalne obroty na gazie [1000;9000 obr/min]");
    const QString tempComment =
        QStringLiteral("Temperatura przełączania B/G zakres (0..100) stopni Celsjusza");
    const auto C = PanelRule::Comment;
    const auto D = KeyFilter::Digit;

    std::vector<ParamDef> t = {
        {.id = ParamId::ProbeKind,
         .identifier = "ProbeKind",
         .control = "ComboBox1",
         .fileNo = 100,
         .kind = K::Choice,
         .min = 0,
         .max = 4,
         .defaultText = "0",
         .items = probes,
         .group = 1,
         .labels = {label("Label1", "Rodzaj sondy lambda")},
         .commentKey = 10350,
         .comment = "Rodzaj sondy lambda",
         .panel = C,
         .listNumber = 1,
         .wire = {.command = 0x1E, .blockByte = 31, .width = 1, .flagBit = 1}},
        {.id = ParamId::LambdaThreshold,
         .identifier = "LambdaThreshold",
         .control = "Edit2",
         .fileNo = 101,
         .unit = volt,
         .kind = K::Volts,
         .min = 10,
         .max = 490,
         .defaultText = "0,50",
         .maxLength = 4,
         .filter = KeyFilter::Decimal,
         .group = 1,
         .labels = {label("Label2", "Próg sondy lambda")},
         .commentKey = 10351,
         .comment = "Próg sondy Lambda [0;5 V]",
         .panel = C,
         .wire = {.command = 0x0F, .blockByte = 9, .width = 1}},
        {.id = ParamId::SwitchRpm,
         .identifier = "SwitchRpm",
         .control = "Edit3",
         .fileNo = 102,
         .unit = rpm,
         .kind = K::Number,
         .min = 1000,
         .max = 9000,
         .defaultText = "2000",
         .maxLength = 5,
         .filter = D,
         .group = 3,
         .labels = {label("Label3", "Obroty dla przejścia B/G")},
         .commentKey = 10352,
         .comment = "Próg obrotów przejścia benzyna/gaz [1000;9000 obr/min]",
         .panel = C,
         .wire = {.command = 0x08,
                  .blockByte = 6,
                  .width = 2,
                  .blockMin = 1000,
                  .blockMax = 9000,
                  .fallback = "5000"}},
        {.id = ParamId::TpsKind,
         .identifier = "TpsKind",
         .control = "ComboBox4",
         .fileNo = 103,
         .kind = K::Choice,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .items = rising,
         .group = 2,
         .labels = {label("Label4", "Typ czujnika TPS")},
         .commentKey = 10353,
         .comment = "Typ czujnika TPS",
         .panel = C,
         .listNumber = 2,
         .wire = flagBit(0)},
        {.id = ParamId::TpsThreshold,
         .identifier = "TpsThreshold",
         .control = "Edit5",
         .fileNo = 104,
         .unit = volt,
         .kind = K::Volts,
         .min = 0,
         .max = 990,
         .defaultText = "1,25",
         .maxLength = 4,
         .filter = KeyFilter::Decimal,
         .group = 2,
         .labels = {label("Label5", "Próg czujnika TPS")},
         .commentKey = 10354,
         .comment = "Próg czujnika TPS [0; 9.9 V]",
         .panel = C,
         .wire = {.command = 0x07, .blockByte = 5, .width = 1}},
        {.id = ParamId::StepSpeedAboveTps,
         .identifier = "StepSpeedAboveTps",
         .control = "Edit6",
         .fileNo = 105,
         .kind = K::Number,
         .min = 1,
         .max = 24,
         .defaultText = "3",
         .maxLength = 2,
         .filter = D,
         .group = 4,
         .labels = {label("Label6", "Silnik krok pow. TPS")},
         .commentKey = 10355,
         .comment = "Prędkość silnika krokowego (1;24) razy wolniej powyżej progu TPS",
         .panel = C,
         .wire =
             {.command = 0x20, .blockByte = 34, .width = 2, .blockMin = 1, .blockMax = 24, .fallback = "3"}},
        {.id = ParamId::StepSpeedBelowTps,
         .identifier = "StepSpeedBelowTps",
         .control = "Edit7",
         .fileNo = 106,
         .kind = K::Number,
         .min = 1,
         .max = 24,
         .defaultText = "6",
         .maxLength = 2,
         .filter = D,
         .group = 4,
         .labels = {label("Label7", "Silnik krok pon. TPS")},
         .commentKey = 10356,
         .comment = "Prędkość silnika krokowego (1;24) razy wolniej poniżej progu TPS",
         .panel = C,
         .wire =
             {.command = 0x1C, .blockByte = 28, .width = 2, .blockMin = 1, .blockMax = 24, .fallback = "3"}},
        {.id = ParamId::MaxGasRpm,
         .identifier = "MaxGasRpm",
         .control = "Edit8_1",
         .fileNo = 107,
         .unit = rpm,
         .kind = K::Number,
         .min = 1000,
         .max = 9000,
         .defaultText = "7000",
         .maxLength = 5,
         .filter = D,
         .group = 3,
         .labels = {label("Label8", "Maksymalne obroty na gazie")},
         .commentKey = 10357,
         .comment = maxGasComment,
         .panel = C,
         .wire = {.command = 0x14,
                  .blockByte = 13,
                  .width = 2,
                  .blockMin = 0,
                  .blockMax = 9000,
                  .fallback = "5000"}},
        // Checked means the limit is off: the controller holds period 1.
        {.id = ParamId::MaxGasRpmOff,
         .identifier = "MaxGasRpmOff",
         .control = "CheckBox8_2",
         .fileNo = 108,
         .kind = K::Flag,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .group = 3,
         .labels = {label("CheckBox8_2_label", "Wylacz max obr")},
         .boxCaption = "Wyłącz max. obroty",
         .commentKey = 10357,
         .comment = maxGasComment,
         .panel = PanelRule::Keep,
         .wire = {.command = 0x14, .blockByte = 13, .width = 2}},
        {.id = ParamId::RpmKind,
         .identifier = "RpmKind",
         .control = "ComboBox9",
         .fileNo = 109,
         .kind = K::Choice,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .items = rpmKinds,
         .group = 3,
         .labels = {label("Label9", "Rodzaj obrotów")},
         .commentKey = 10358,
         .comment = "Rodzaj obrotów",
         .panel = C,
         .listNumber = 3,
         .wire = flagBit(2)},
        {.id = ParamId::RpmDelta,
         .identifier = "RpmDelta",
         .control = "Edit10",
         .fileNo = 110,
         .unit = rpm,
         .kind = K::Number,
         .min = 0,
         .max = 5000,
         .defaultText = "500",
         .maxLength = 5,
         .filter = D,
         .group = 3,
         .labels = {label("Label10", "Delta obrotów")},
         .commentKey = 10359,
         .comment = "Delta przy obrotach malejacych [0;5000 obr/min]",
         .panel = C,
         .wire = {.command = 0x16,
                  .blockByte = 17,
                  .width = 2,
                  .blockMin = 0,
                  .blockMax = 5000,
                  .fallback = "500"}},
        {.id = ParamId::StepMin,
         .identifier = "StepMin",
         .control = "Edit11_1",
         .fileNo = 111,
         .kind = K::Number,
         .min = 0,
         .max = 255,
         .defaultText = "10",
         .maxLength = 3,
         .filter = D,
         .group = 4,
         .labels = {stepLabel},
         .commentKey = 10360,
         .comment = "Minimalna pozycja silnika krokowego",
         .panel = C,
         .wire = {.command = 0x12, .blockByte = 10, .width = 1}},
        {.id = ParamId::StepMax,
         .identifier = "StepMax",
         .control = "Edit11_2",
         .fileNo = 112,
         .kind = K::Number,
         .min = 0,
         .max = 255,
         .defaultText = "200",
         .maxLength = 3,
         .filter = D,
         .group = 4,
         .labels = {stepLabel},
         .commentKey = 10361,
         .comment = "Maksymalna pozycja silnika krokowego",
         .panel = C,
         .wire = {.command = 0x12, .valueOffset = 1, .blockByte = 11, .width = 1}},
        {.id = ParamId::StepStart,
         .identifier = "StepStart",
         .control = "Edit12",
         .fileNo = 113,
         .kind = K::Number,
         .min = 1,
         .max = 255,
         .defaultText = "100",
         .maxLength = 3,
         .filter = D,
         .group = 4,
         .labels = {label("Label13", "Start. pow. silnika krok.")},
         .commentKey = 10362,
         .comment = "Startowa pozycja silnika krokowego [1;255]",
         .panel = C,
         .wire = {.command = 0x13, .blockByte = 12, .width = 1}},
        // In fifths of a second on the wire.
        {.id = ParamId::StartDelay,
         .identifier = "StartDelay",
         .control = "Edit14",
         .fileNo = 114,
         .unit = "s",
         .kind = K::Number,
         .min = 1,
         .max = 50,
         .defaultText = "1",
         .maxLength = 3,
         .filter = D,
         .group = 3,
         .labels = {label("Label16", "Opóźnienie startowe")},
         .commentKey = 10365,
         .comment = "Opóźnienie startowe [1;50 s]",
         .panel = C,
         .wire = {.command = 0x19, .blockByte = 22, .width = 1}},
        {.id = ParamId::LambdaLowTime,
         .identifier = "LambdaLowTime",
         .control = "Edit13_1",
         .fileNo = 115,
         .unit = ms,
         .kind = K::Number,
         .min = 0,
         .max = 4000,
         .defaultText = "500",
         .maxLength = 5,
         .filter = D,
         .group = 1,
         .labels = {lambdaLabel},
         .commentKey = 10363,
         .comment = "Czas stanu niskiego lambda [0;4000 ms]",
         .panel = C,
         .wire = {.command = 0x06,
                  .blockByte = 1,
                  .width = 2,
                  .blockMin = 0,
                  .blockMax = 4000,
                  .fallback = "500"}},
        // The block and the command hold low + high time here.
        {.id = ParamId::LambdaHighTime,
         .identifier = "LambdaHighTime",
         .control = "Edit13_2",
         .fileNo = 116,
         .unit = ms,
         .kind = K::Number,
         .min = 0,
         .max = 4000,
         .defaultText = "500",
         .maxLength = 5,
         .filter = D,
         .group = 1,
         .labels = {lambdaLabel},
         .commentKey = 10364,
         .comment = "Czas stanu wysokiego lambda [0;4000 ms]",
         .panel = C,
         .wire = {.command = 0x06,
                  .valueOffset = 2,
                  .blockByte = 3,
                  .width = 2,
                  .blockMin = 0,
                  .blockMax = 4000,
                  .fallback = "500"}},
        // Acts through the two lambda times; no command of its own.
        {.id = ParamId::LambdaBosch,
         .identifier = "LambdaBosch",
         .control = "CheckBox13_3",
         .fileNo = 117,
         .kind = K::Flag,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .group = 1,
         .labels = {label("CheckBox13_3_Label", "Lambda - BOSCH")},
         .panel = PanelRule::Keep},
        {.id = ParamId::CutoffOn,
         .identifier = "CutoffOn",
         .control = "CheckBox15",
         .fileNo = 118,
         .kind = K::Flag,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .group = 5,
         .labels = {label("Label17", "Włączenie cutoff"), label("CheckBox15_Label", "Tak/Nie")},
         .panel = PanelRule::Clear,
         .wire = flagBit(4)},
        {.id = ParamId::CutoffStep,
         .identifier = "CutoffStep",
         .control = "Edit16",
         .fileNo = 119,
         .kind = K::Number,
         .min = 1,
         .max = 255,
         .defaultText = "30",
         .maxLength = 3,
         .filter = D,
         .group = 5,
         .labels = {label("Label18", "Silnik krokowy przy cutoff")},
         .commentKey = 10366,
         .comment = "Poziom silnika krokowego dla cutoff [1;255]",
         .panel = C,
         .wire = {.command = 0x17, .blockByte = 21, .width = 1}},
        {.id = ParamId::CutoffRpm,
         .identifier = "CutoffRpm",
         .control = "Edit17",
         .fileNo = 120,
         .unit = rpm,
         .kind = K::Number,
         .min = 500,
         .max = 5000,
         .defaultText = "1500",
         .maxLength = 5,
         .filter = D,
         .group = 5,
         .labels = {label("Label19", "Obroty silnika dla cutoff")},
         .commentKey = 10367,
         .comment = "Obroty silnika dla cutoff [500;5000 obr/min]",
         .panel = C,
         .wire = {.command = 0x18,
                  .blockByte = 19,
                  .width = 2,
                  .blockMin = 500,
                  .blockMax = 5000,
                  .fallback = "2000"}},
        {.id = ParamId::StepOpening,
         .identifier = "StepOpening",
         .control = "Edit18",
         .fileNo = 121,
         .kind = K::Number,
         .min = 2,
         .max = 50,
         .defaultText = "30",
         .maxLength = 3,
         .filter = D,
         .group = 4,
         .labels = {label("Label20", "Otwarcie silnika krokowego")},
         .commentKey = 10368,
         .comment = "Otwarcie silnika krokowego [2;50]",
         .panel = C,
         .wire = {.command = 0x1B, .blockByte = 27, .width = 1}},
        {.id = ParamId::SwitchDelay,
         .identifier = "SwitchDelay",
         .control = "Edit19",
         .fileNo = 122,
         .unit = ms,
         .kind = K::Number,
         .min = 100,
         .max = 10000,
         .defaultText = "100",
         .maxLength = 5,
         .filter = D,
         .group = 3,
         .labels = {label("Label21", "czas nakladania paliw")},
         .commentKey = 10369,
         .comment = "Opoźnienie przełączenia benzyna/gaz [100;10000 ms]",
         .panel = C,
         .wire = {.command = 0x15,
                  .blockByte = 15,
                  .width = 2,
                  .blockMin = 1,
                  .blockMax = 10000,
                  .fallback = "1000"}},
        {.id = ParamId::ControllerMode,
         .identifier = "ControllerMode",
         .control = "ComboBox20",
         .fileNo = 123,
         .kind = K::Choice,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .items = modes,
         .group = 6,
         .labels = {label("Label22", "Tryb pracy sterownika")},
         .commentKey = 10370,
         .comment = "tryb pracy sterownika",
         .panel = C,
         .listNumber = 4,
         .wire = flagBit(6)},
        // Bit 7 set means item 0 ("20K").
        {.id = ParamId::ReserveSensorKind,
         .identifier = "ReserveSensorKind",
         .control = "ComboBox21",
         .fileNo = 124,
         .kind = K::Choice,
         .min = 0,
         .max = 1,
         .defaultText = "1",
         .items = reserve,
         .group = 6,
         .labels = {label("Label23", "Typ szkiełka rezerwy")},
         .commentKey = 10371,
         .comment = "Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K",
         .panel = C,
         .listNumber = 5,
         .wire = flagBit(7)},
        {.id = ParamId::TempSensorOn,
         .identifier = "TempSensorOn",
         .control = "CheckBox22_2",
         .fileNo = 126,
         .kind = K::Flag,
         .min = 0,
         .max = 1,
         .defaultText = "0",
         .group = 3,
         .labels = {label("checkbox22_2_label", "Włącz czujnik temp")},
         .boxCaption = "Włącz czujnik temperatury",
         .commentKey = 10372,
         .comment = tempComment,
         .panel = PanelRule::Keep,
         .wire = flagBit(3)},
        // Edit22_1 takes two typed characters although its range reaches 100.
        {.id = ParamId::SwitchTemp,
         .identifier = "SwitchTemp",
         .control = "Edit22_1",
         .fileNo = -1,
         .unit = "°C",
         .kind = K::Number,
         .min = 0,
         .max = 100,
         .defaultText = "0",
         .maxLength = 2,
         .filter = D,
         .group = 3,
         .labels = {label("minprzelbgLabel", "Min temp przełączenia na gaz", false)},
         .commentKey = 10372,
         .comment = tempComment,
         .panel = C,
         .wire = {.command = 0x05, .blockByte = 0, .width = 1}},
        // On the engine-speed page; written with 0xAA 0x23, read with 0xAA 0x22.
        {.id = ParamId::AnalogThreshold,
         .identifier = "AnalogThreshold",
         .control = "Edit23",
         .label = "Próg analogowy obrotów",
         .fileNo = -1,
         .kind = K::Number,
         .min = 1,
         .max = 250,
         .defaultText = "1",
         .items = analogItems(),
         .maxLength = 3},
    };
    for (ParamDef& d : t)
        if (d.label.isEmpty()) d.label = d.boxCaption.isEmpty() ? d.labels.front().text : d.boxCaption;
    return t;
}

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
        {1, QStringLiteral("GroupBox20"), QStringLiteral("Sonda lambda")},
        {2, QStringLiteral("GroupBox9"), QStringLiteral("Czujnik TPS")},
        {3, QStringLiteral("GroupBox14"), QStringLiteral("Obroty i przełączanie")},
        {4, QStringLiteral("GroupBox22"), QStringLiteral("Silnik krokowy")},
        {5, QStringLiteral("GroupBox8"), QStringLiteral("Cutoff")},
        {6, QStringLiteral("GroupBox21"), QStringLiteral("Sterownik")},
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
