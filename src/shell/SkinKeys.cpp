#include "shell/SkinKeys.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace shell::skin {
namespace {

using P = Property;
using Table = QHash<int, QList<Target>>;

void add(Table& t, int key, P p, const char* name) {
    t[key].append(Target{p, QString::fromLatin1(name)});
}

void grad(Table& t, int key, const char* name) {
    add(t, key, P::Visible, name);
    add(t, key + 1, P::GradFrom, name);
    add(t, key + 2, P::GradTo, name);
}

void button(Table& t, int key, const char* name) {
    add(t, key, P::ButtonFore, name);
    add(t, key + 1, P::ButtonBack, name);
    add(t, key + 2, P::ButtonHover, name);
}

void field(Table& t, int key, const char* name) {
    add(t, key, P::FieldFont, name);
    add(t, key + 1, P::FieldBack, name);
}

void font(Table& t, int key, const char* name) {
    add(t, key, P::FontColor, name);
}
void back(Table& t, int key, const char* name) {
    add(t, key, P::BackColor, name);
}

template <std::size_t N>
void stepped(Table& t, int first, int step, const char* const (&names)[N],
             void (*kind)(Table&, int, const char*)) {
    for (std::size_t i = 0; i < N; ++i)
        kind(t, first + int(i) * step, names[i]);
}

Table build() {
    Table t;
    // Engine-speed page.
    grad(t, 10000, "GradPanel4");
    grad(t, 10003, "GradPanel5");
    grad(t, 10006, "GradPanel1");
    font(t, 10009, "Label91");
    t[10010].append(Target{P::LabelHighlight, QString()});
    font(t, 10011, "info");
    font(t, 10012, "WyborUkladuLabel");
    // Wizard step backgrounds.
    grad(t, 11100, "GradPanel25");
    grad(t, 11200, "GradPanel26");
    grad(t, 11400, "GradPanel28");
    grad(t, 11500, "GradPanel29");
    grad(t, 11700, "GradPanel31");
    grad(t, 11800, "GradPanel32");
    // Parameters page.
    grad(t, 12000, "GradPanel23");
    grad(t, 12100, "GradPanel24");
    grad(t, 12110, "GradPanelPanelDol");
    static const char* const paramLabels[] = {
        "Label1",  "Label2",  "Label3",  "Label4",  "Label5",  "Label6",  "Label7",
        "Label8",  "Label9",  "Label10", "Label12", "Label13", "Label14", "Label16",
        "Label17", "Label18", "Label19", "Label20", "Label21", "Label22", "Label23"};
    stepped(t, 12201, 100, paramLabels, font);
    font(t, 14202, "minprzelbgLabel");
    static const char* const checkLabels[] = {"CheckBox8_2_label", "CheckBox13_3_Label", "checkbox22_2_label",
                                              "CheckBox15_Label"};
    stepped(t, 14401, 100, checkLabels, font);
    static const char* const fields[] = {
        "ComboBox1", "ComboBox4", "ComboBox9", "ComboBox20", "ComboBox21", "Edit2",    "Edit3",   "Edit5",
        "Edit6",     "Edit7",     "Edit8_1",   "Edit10",     "Edit11_1",   "Edit11_2", "Edit12",  "Edit14",
        "Edit13_1",  "Edit13_2",  "Edit16",    "Edit17",     "Edit18",     "Edit19",   "Edit22_1"};
    stepped(t, 14800, 100, fields, field);
    static const char* const paramButtons[] = {"ResButt", "ZapButPic", "odczButPic", "OdczytButtPlik",
                                               "ZapiszButtPlik"};
    stepped(t, 17100, 100, paramButtons, button);
    font(t, 17503, "WylaczkomentarzeCheckLabel");
    // Live page.
    grad(t, 17600, "GradPanel2");
    grad(t, 17700, "GradPanel3");
    static const char* const panels[] = {"Panel2", "Panel3", "Panel7", "Panel8", "GroupBox10"};
    stepped(t, 17801, 100, panels, back);
    static const char* const liveLabels[] = {"Label26", "Label42", "Label25", "Label75", "GasLed",
                                             "Label30", "Label71", "Label47", "Label27"};
    stepped(t, 18202, 1, liveLabels, font);
    add(t, 18211, P::MeterFontUnit, "Gauge4");
    add(t, 18212, P::MeterFont, "obrotomierz");
    font(t, 18213, "Label67");
    font(t, 18214, "Label28");
    font(t, 18215, "WykresLambdaX");
    add(t, 18216, P::MeterScaleFont, "Gauge4");
    add(t, 18217, P::MeterScaleFont, "obrotomierz");
    font(t, 18218, "PodpisWykresLambda");
    add(t, 18219, P::ChartLineD, "Scope1");
    add(t, 18220, P::MeterFontUnit, "obrotomierz");
    add(t, 18221, P::MeterFont, "Gauge4");
    static const char* const chartScale[] = {"Label52", "Label53", "Label52", "Label51",
                                             "Label50", "Label49", "Label48"};
    stepped(t, 18227, 1, chartScale, font);
    static const char* const wizardMeters[] = {"ObrTerm", "AdaptObr1", "ObrSondy", "ObrPrzedRed",
                                               "ObrMinMax"};
    for (std::size_t i = 0; i < std::size(wizardMeters); ++i)
        add(t, 18236 + int(i), P::MeterScaleFont, wizardMeters[i]);
    // Wizard: engine temperature.
    grad(t, 18300, "GradPanel6");
    grad(t, 18400, "GradPanel7");
    font(t, 18501, "Label105");
    font(t, 18502, "WlCzujtTempAd");
    button(t, 18600, "termbutton");
    // Wizard: TPS threshold.
    grad(t, 18700, "GradPanel9");
    grad(t, 18800, "GradPanel16");
    font(t, 18901, "Label106");
    font(t, 19001, "Label56");
    button(t, 19100, "tpsbutton");
    button(t, 19103, "CofnijAD2");
    grad(t, 19106, "GradPanelTPSRamka");
    for (const char* name : {"Label59", "Label60", "Label61", "Label80", "Label81", "Label82"})
        font(t, 19109, name);
    // Wizard: lambda probe.
    grad(t, 19200, "GradPanel10");
    grad(t, 19300, "GradPanel17");
    font(t, 19401, "Label107");
    font(t, 19501, "Label87");
    button(t, 19600, "SondButton");
    button(t, 19603, "CofnijAD3");
    grad(t, 19606, "GradPanelSonda");
    for (const char* name : {"Label62", "Label63", "Label64"})
        font(t, 19609, name);
    // Wizard: car description.
    grad(t, 19700, "GradPanel11");
    grad(t, 19800, "GradPanel18");
    button(t, 19900, "ParSamButton");
    button(t, 19903, "CofnijAD4");
    font(t, 19906, "Label89");
    grad(t, 19907, "GradPanelParS1");
    grad(t, 19910, "GradPanelParS2");
    grad(t, 19913, "GradPanelParS3");
    font(t, 19916, "Label66");
    font(t, 19917, "Label29");
    font(t, 19918, "Label74");
    static const char* const carChecks[] = {"SRCheckBox3", "SRCheckBox4", "SRCheckBox5", "SRCheckBox6",
                                            "SRCheckBox7"};
    stepped(t, 19919, 1, carChecks, back);
    grad(t, 19924, "GradPanelKoniec");
    // Wizard: gas-level sensor.
    grad(t, 20000, "GradPanel12");
    grad(t, 20100, "GradPanel19");
    font(t, 20201, "Label84");
    button(t, 20300, "OczkaButton");
    button(t, 20303, "CofnijAD5");
    font(t, 20401, "SRCheckBox10");
    font(t, 20501, "SRCheckBox11");
    font(t, 20502, "Label90");
    // Wizard: petrol to gas.
    grad(t, 20600, "GradPanel13");
    grad(t, 20700, "GradPanel20");
    font(t, 20801, "Label108");
    font(t, 20802, "NastapiloPrzejscieBGLABEL");
    button(t, 20900, "przedreduktbutton");
    button(t, 20903, "CofnijAD6");
    // Wizard: reducer.
    grad(t, 21000, "GradPanel14");
    grad(t, 21100, "GradPanel21");
    font(t, 21201, "Label109");
    button(t, 21300, "RRbutton");
    button(t, 21303, "CofnijAD7");
    // Wizard: stepper limits.
    grad(t, 21400, "GradPanel15");
    grad(t, 21500, "GradPanel22");
    font(t, 21601, "Label70");
    font(t, 21701, "Label76");
    back(t, 21801, "KomunikatKoncowy");
    button(t, 21900, "MinMaxButton");
    button(t, 21903, "CofnijAD8");
    // Wizard frame and the other backgrounds.
    grad(t, 22000, "GradPanel8");
    font(t, 22050, "Label11");
    grad(t, 22100, "GradPanel34");
    grad(t, 22200, "GradPanel35");
    grad(t, 22300, "GradPanel36");
    grad(t, 22400, "GradPanel37");
    // Printout page.
    font(t, 22501, "LabelPS");
    static const char* const napis[] = {"Napis01", "Napis02", "Napis03", "Napis04", "Napis05", "Napis06",
                                        "Napis07", "Napis08", "Napis09", "Napis10", "Napis11", "Napis12",
                                        "Napis13", "Napis14", "Napis15", "Napis16", "Napis17", "Napis18",
                                        "Napis19", "Napis20", "Napis21", "Napis22", "Napis23"};
    stepped(t, 22601, 100, napis, font);
    static const char* const par[] = {"Par01",   "Par02",   "Par04", "Par05",   "Par06",   "Par07",
                                      "Par08",   "Par09",   "Par10", "Par11_1", "Par11_2", "Par12",
                                      "Par13_1", "Par13_2", "Par14", "Par15",   "Par16",   "Par17",
                                      "Par18",   "Par19",   "Par20", "Par21",   "Par22",   "Par23"};
    stepped(t, 24901, 100, par, font);
    button(t, 27300, "DrukujButt");
    font(t, 27401, "Par03");
    return t;
}

const Table& table() {
    static const Table t = build();
    return t;
}

} // namespace

QList<Target> targets(int key) {
    return table().value(key);
}

QList<int> allKeys() {
    QList<int> keys = table().keys();
    std::sort(keys.begin(), keys.end());
    return keys;
}

Colour colour(qint32 value) {
    Colour c;
    if (value < 0) {
        c.system = true;
        c.systemIndex = int(quint32(value) & 0xFF);
    } else {
        c.bgr = quint32(value) & 0xFFFFFF;
    }
    return c;
}

const QStringList& highlightFollowers() {
    static const QStringList names = [] {
        QStringList n;
        for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23})
            n << QStringLiteral("Label%1").arg(i);
        n << QStringLiteral("CheckBox8_2_label") << QStringLiteral("CheckBox13_3_Label")
          << QStringLiteral("CheckBox15_Label") << QStringLiteral("CheckBox22_2");
        return n;
    }();
    return names;
}

const QList<SkinChoice>& skinChoices() {
    static const QList<SkinChoice> c = {
        {"ord", "default.skr", "skorkaZwy"},
        {"col", "kolorowa_niebieski.skr", "skorkaKol"},
        {"sil", "silver.skr", "SkorkaSil"},
        {"nak", "bezbarwn.skr", "SkorkaBez"},
    };
    return c;
}

const SkinChoice* choiceByCode(const QString& code) {
    for (const SkinChoice& c : skinChoices())
        if (code == QLatin1String(c.code)) return &c;
    return nullptr;
}

const SkinChoice* choiceByMenuItem(const QString& menuItem) {
    for (const SkinChoice& c : skinChoices())
        if (menuItem == QLatin1String(c.menuItem)) return &c;
    return nullptr;
}

QString badLineMessage() {
    return QStringLiteral("Blad w Pliku Ze skorkami");
}

} // namespace shell::skin
