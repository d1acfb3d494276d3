#include "params/KeyboardMap.h"

#include <QHash>

namespace keyboard {

namespace {
EntryControl edit(const char* control, int group, QStringList labels, int key, const char* comment) {
    return {QString::fromLatin1(control), ControlKind::Edit,  group, std::move(labels), key,
            QString::fromUtf8(comment),   PanelRule::Comment, 0};
}
EntryControl list(const char* control, int group, const char* label, int key, const char* comment,
                  int number) {
    return {QString::fromLatin1(control), ControlKind::List,  group, {QString::fromLatin1(label)}, key,
            QString::fromUtf8(comment),   PanelRule::Comment, number};
}
EntryControl check(const char* control, int group, QStringList labels, int key, const char* comment,
                   PanelRule panel) {
    return {QString::fromLatin1(control),
            ControlKind::Check,
            group,
            std::move(labels),
            key,
            QString::fromUtf8(comment),
            panel,
            0};
}
QStringList l(const char* a) {
    return {QString::fromLatin1(a)};
}
} // namespace

const std::vector<EntryControl>& entryControls() {
    static const std::vector<EntryControl> controls = {
        // Group 1: lambda probe.
        list("ComboBox1", 1, "Label1", 10350, "Rodzaj sondy lambda", 1),
        edit("Edit2", 1, l("Label2"), 10351, "Próg sondy Lambda [0;5 V]"),
        edit("Edit13_1", 1, l("Label14"), 10363, "Czas stanu niskiego lambda [0;4000 ms]"),
        edit("Edit13_2", 1, l("Label14"), 10364, "Czas stanu wysokiego lambda [0;4000 ms]"),
        check("CheckBox13_3", 1, l("CheckBox13_3_Label"), 0, "", PanelRule::Keep),
        // Group 2: TPS.
        list("ComboBox4", 2, "Label4", 10353, "Typ czujnika TPS", 2),
        edit("Edit5", 2, l("Label5"), 10354, "Próg czujnika TPS [0; 9.9 V]"),
        // Group 3: engine speed and switch-over.
        edit("Edit3", 3, l("Label3"), 10352, "Próg obrotów przejścia benzyna/gaz [1000;9000 obr/min]"),
        list("ComboBox9", 3, "Label9", 10358, "Rodzaj obrotów", 3),
        edit("Edit10", 3, l("Label10"), 10359, "Delta przy obrotach malejacych [0;5000 obr/min]"),
        edit("Edit14", 3, l("Label16"), 10365, "Opóźnienie startowe [1;50 s]"),
        edit("Edit19", 3, l("Label21"), 10369, "Opoźnienie przełączenia benzyna/gaz [100;10000 ms]"),
        edit("Edit8_1", 3, l("Label8"), 10357, "Maksymalne obroty na gazie [1000;9000 obr/min]"),
        check("CheckBox8_2", 3, l("CheckBox8_2_label"), 10357,
              "Maksymalne obroty na gazie [1000;9000 obr/min]", PanelRule::Keep),
        edit("Edit22_1", 3, l("minprzelbgLabel"), 10372,
             "Temperatura przełączania B/G zakres (0..100) stopni Celsjusza"),
        check("CheckBox22_2", 3, l("checkbox22_2_label"), 10372,
              "Temperatura przełączania B/G zakres (0..100) stopni Celsjusza", PanelRule::Keep),
        // Group 4: stepper motor.
        edit("Edit11_1", 4, l("Label12"), 10360, "Minimalna pozycja silnika krokowego"),
        edit("Edit11_2", 4, l("Label12"), 10361, "Maksymalna pozycja silnika krokowego"),
        edit("Edit12", 4, l("Label13"), 10362, "Startowa pozycja silnika krokowego [1;255]"),
        edit("Edit7", 4, l("Label7"), 10356,
             "Prędkość silnika krokowego (1;24) razy wolniej poniżej progu TPS"),
        edit("Edit6", 4, l("Label6"), 10355,
             "Prędkość silnika krokowego (1;24) razy wolniej powyżej progu TPS"),
        edit("Edit18", 4, l("Label20"), 10368, "Otwarcie silnika krokowego [2;50]"),
        // Group 5: cutoff.
        check("CheckBox15", 5, {QStringLiteral("CheckBox15_Label"), QStringLiteral("Label17")}, 0, "",
              PanelRule::Clear),
        edit("Edit16", 5, l("Label18"), 10366, "Poziom silnika krokowego dla cutoff [1;255]"),
        edit("Edit17", 5, l("Label19"), 10367, "Obroty silnika dla cutoff [500;5000 obr/min]"),
        // Group 6: controller.
        list("ComboBox20", 6, "Label22", 10370, "tryb pracy sterownika", 4),
        list("ComboBox21", 6, "Label23", 10371, "Typ szkiełka rezerwy.    1: 90R lub rezerwa;    2: 20K", 5),
    };
    return controls;
}

int entryIndex(const QString& control) {
    const auto& all = entryControls();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].control == control) return static_cast<int>(i);
    return -1;
}

const EntryControl* entryControl(const QString& control) {
    const int i = entryIndex(control);
    return i < 0 ? nullptr : &entryControls()[static_cast<std::size_t>(i)];
}

const QStringList& captionLabels() {
    static const QStringList labels = {
        QStringLiteral("Label1"),
        QStringLiteral("Label2"),
        QStringLiteral("Label3"),
        QStringLiteral("Label4"),
        QStringLiteral("Label5"),
        QStringLiteral("Label6"),
        QStringLiteral("Label7"),
        QStringLiteral("Label8"),
        QStringLiteral("Label9"),
        QStringLiteral("Label10"),
        QStringLiteral("Label12"),
        QStringLiteral("Label13"),
        QStringLiteral("Label14"),
        QStringLiteral("Label16"),
        QStringLiteral("Label17"),
        QStringLiteral("Label18"),
        QStringLiteral("Label19"),
        QStringLiteral("Label20"),
        QStringLiteral("Label21"),
        QStringLiteral("Label22"),
        QStringLiteral("Label23"),
        QStringLiteral("CheckBox8_2_label"),
        QStringLiteral("CheckBox13_3_Label"),
        QStringLiteral("CheckBox15_Label"),
        QStringLiteral("checkbox22_2_label"),
        QStringLiteral("minprzelbgLabel"),
    };
    return labels;
}

QString labelTarget(const QString& label) {
    static const QHash<QString, QString> targets = {
        {QStringLiteral("Label1"), QStringLiteral("ComboBox1")},
        {QStringLiteral("Label2"), QStringLiteral("Edit2")},
        {QStringLiteral("Label3"), QStringLiteral("Edit3")},
        {QStringLiteral("Label4"), QStringLiteral("ComboBox4")},
        {QStringLiteral("Label5"), QStringLiteral("Edit5")},
        {QStringLiteral("Label6"), QStringLiteral("Edit6")},
        {QStringLiteral("Label7"), QStringLiteral("Edit7")},
        {QStringLiteral("Label8"), QStringLiteral("Edit8_1")},
        {QStringLiteral("CheckBox8_2_label"), QStringLiteral("CheckBox8_2")},
        {QStringLiteral("Label9"), QStringLiteral("ComboBox9")},
        {QStringLiteral("Label10"), QStringLiteral("Edit10")},
        {QStringLiteral("Label12"), QStringLiteral("Edit11_1")},
        {QStringLiteral("Label13"), QStringLiteral("Edit12")},
        {QStringLiteral("Label14"), QStringLiteral("Edit13_1")},
        {QStringLiteral("Label16"), QStringLiteral("Edit14")},
        {QStringLiteral("CheckBox13_3_Label"), QStringLiteral("CheckBox13_3")},
        {QStringLiteral("Label17"), QStringLiteral("CheckBox15")},
        {QStringLiteral("CheckBox15_Label"), QStringLiteral("CheckBox15")},
        {QStringLiteral("Label18"), QStringLiteral("Edit16")},
        {QStringLiteral("Label19"), QStringLiteral("Edit17")},
        {QStringLiteral("Label20"), QStringLiteral("Edit18")},
        {QStringLiteral("Label21"), QStringLiteral("Edit19")},
        {QStringLiteral("Label22"), QStringLiteral("ComboBox20")},
        {QStringLiteral("Label23"), QStringLiteral("ComboBox21")},
        {QStringLiteral("checkbox22_2_label"), QStringLiteral("CheckBox22_2")},
    };
    return targets.value(label);
}

const QStringList& pageButtons() {
    static const QStringList buttons = {QStringLiteral("ResButt"), QStringLiteral("ZapButPic"),
                                        QStringLiteral("odczButPic"), QStringLiteral("OdczytButtPlik"),
                                        QStringLiteral("ZapiszButtPlik")};
    return buttons;
}

QString pageKeyTarget(const QString& from, bool down, const QStringList& order,
                      const std::function<bool(const QString&)>& canFocus) {
    const EntryControl* e = entryControl(from);
    if (e && e->kind == ControlKind::List) {
        const QString wrapTo = down && from == QLatin1String("ComboBox21")   ? QStringLiteral("ComboBox1")
                               : !down && from == QLatin1String("ComboBox1") ? QStringLiteral("ComboBox21")
                                                                             : QString();
        if (!wrapTo.isEmpty() && canFocus(wrapTo)) return wrapTo;
    }
    const int n = static_cast<int>(order.size());
    const int start = order.indexOf(from);
    if (n == 0) return {};
    for (int step = 1; step <= n; ++step) {
        const int i =
            start < 0 ? (down ? step - 1 : n - step) : ((start + (down ? step : -step)) % n + n) % n;
        const QString& c = order[i];
        if (c != from && canFocus(c)) return c;
    }
    return {};
}

} // namespace keyboard
