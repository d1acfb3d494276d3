#include "core/LanguageKeys.h"
#include "core/LanguageTexts.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace shell::lang {
namespace {

struct Row {
    int key;
    TargetKind kind;
    const char* name;
    int item;
};

using K = TargetKind;

// clang-format off
constexpr Row Rows[] = {
    {10100, K::MenuItem, "MenuTab", 0},
    {10102, K::MenuItem, "ParButton", 0},
    {10103, K::MenuItem, "WizButton", 0},
    {10104, K::MenuItem, "ObrButton", 0},
    {10105, K::MenuItem, "AutoButton", 0},
    {10106, K::MenuItem, "PomocButton", 0},
    {10107, K::MenuItem, "KoniecButton", 0},
    {10108, K::MenuItem, "oprogramiebutton", 0},
    {10201, K::MenuItem, "Jezyki", 0},
    {10202, K::MenuItem, "PortGroup", 0},
    {10203, K::MenuItem, "DefaultOption", 0},
    {10204, K::MenuItem, "AutodetekcjaMenu", 0},
    {10300, K::TabCaption, "ParametryTab", 0},
    {10301, K::Caption, "Label1", 0},
    {10302, K::Caption, "Label2", 0},
    {10303, K::Caption, "Label3", 0},
    {10304, K::Caption, "Label4", 0},
    {10305, K::Caption, "Label5", 0},
    {10306, K::Caption, "Label6", 0},
    {10307, K::Caption, "Label7", 0},
    {10308, K::Caption, "Label8", 0},
    {10309, K::Caption, "CheckBox8_2_label", 0},
    {10310, K::Caption, "Label9", 0},
    {10311, K::Caption, "Label10", 0},
    {10312, K::Caption, "Label12", 0},
    {10313, K::Caption, "Label13", 0},
    {10314, K::Caption, "Label14", 0},
    {10315, K::Caption, "CheckBox13_3_Label", 0},
    {10316, K::Caption, "Label17", 0},
    {10317, K::Caption, "CheckBox15_Label", 0},
    {10318, K::Caption, "Label18", 0},
    {10319, K::Caption, "Label19", 0},
    {10321, K::Caption, "Label20", 0},
    {10322, K::Caption, "Label21", 0},
    {10323, K::Caption, "Label22", 0},
    {10324, K::Caption, "Label23", 0},
    {10326, K::Caption, "checkbox22_2_label", 0},
    {10327, K::Caption, "Label16", 0},
    {10328, K::Caption, "aktZasilanieLabel", 0},
    {10329, K::Caption, "minprzelbgLabel", 0},
    {10330, K::ComboItem, "ComboBox1", 0},
    {10331, K::ComboItem, "ComboBox1", 1},
    {10332, K::ComboItem, "ComboBox1", 2},
    {10333, K::ComboItem, "ComboBox1", 3},
    {10334, K::ComboItem, "ComboBox1", 4},
    {10335, K::ComboItem, "ComboBox4", 0},
    {10336, K::ComboItem, "ComboBox4", 1},
    {10337, K::ComboItem, "ComboBox9", 0},
    {10338, K::ComboItem, "ComboBox9", 1},
    {10339, K::ComboItem, "ComboBox20", 0},
    {10340, K::ComboItem, "ComboBox20", 1},
    {10341, K::ComboItem, "ComboBox21", 0},
    {10342, K::ComboItem, "ComboBox21", 1},
    {10391, K::Caption, "ResButt", 0},
    {10392, K::Caption, "ZapButPic", 0},
    {10393, K::Caption, "odczButPic", 0},
    {10394, K::Caption, "OdczytButtPlik", 0},
    {10395, K::Caption, "ZapiszButtPlik", 0},
    {10396, K::Caption, "WylaczkomentarzeCheckLabel", 0},
    {10400, K::TabCaption, "WizualizacjaTab", 0},
    {10401, K::Caption, "Label26", 0},
    {10401, K::Caption, "ZmiennaPoziomGazuLabel", 0},
    {10402, K::Caption, "Label25", 0},
    {10402, K::Caption, "ZmiennaSilnikKrokowyLabel", 0},
    {10403, K::Caption, "Label47", 0},
    {10404, K::Caption, "Label27", 0},
    {10405, K::MeterCaption, "obrotomierz", 0},
    {10405, K::Caption, "ZmiennaObrotyLabel", 0},
    {10406, K::Caption, "Label75", 0},
    {10406, K::Caption, "LambdaLabel", 0},
    {10407, K::Caption, "Label42", 0},
    {10407, K::Caption, "ZmiennaTemperaturaLabel", 0},
    {10410, K::Caption, "Label30", 0},
    {10411, K::Caption, "Label71", 0},
    {10412, K::Caption, "CheckBox10", 0},
    {10413, K::Caption, "SpeedButton4", 0},
    {10414, K::Caption, "PodpisWykresLambda", 0},
    {10500, K::TabCaption, "ObrotyTab", 0},
    {10501, K::ComboItem, "ComboBox2", 0},
    {10502, K::ComboItem, "ComboBox2", 1},
    {10503, K::ComboItem, "ComboBox2", 2},
    {10504, K::ComboItem, "ComboBox2", 3},
    {10505, K::ComboItem, "ComboBox2", 4},
    {10506, K::ComboItem, "ComboBox2", 5},
    {10507, K::Caption, "Label91", 0},
    {10508, K::Caption, "WyborUkladuLabel", 0},
    {10509, K::Caption, "OdczytUkladuButt", 0},
    {10510, K::Caption, "ProgAnalogTxt", 0},
    {10600, K::TabCaption, "AutoadaptacjaTab", 0},
    {10700, K::TabCaption, "DrukowanieTab", 0},
    {10700, K::MenuItem, "DruButton", 0},
    {10701, K::Caption, "DrukujButt", 0},
    {10800, K::MenuItem, "Czcionka", 0},
    {10801, K::MenuItem, "CzcionkaMala", 0},
    {10802, K::MenuItem, "CzcionkaSrednia", 0},
    {10803, K::MenuItem, "CzcionkaDuza", 0},
    {10810, K::MenuItem, "Wyglad", 0},
    {10811, K::MenuItem, "Skorka", 0},
    {11100, K::TabCaption, "adaptterm", 0},
    {11102, K::ComboItem, "ComboTerm", 0},
    {11103, K::ComboItem, "ComboTerm", 1},
    {11104, K::ComboItem, "ComboTerm", 2},
    {11105, K::ComboItem, "ComboTerm", 3},
    {11106, K::ComboItem, "ComboTerm", 4},
    {11107, K::ComboItem, "ComboTerm", 5},
    {11108, K::Caption, "termbutton", 0},
    {11109, K::Caption, "Label105", 0},
    {11110, K::Caption, "WlCzujtTempAd", 0},
    {11200, K::TabCaption, "AdaptTps", 0},
    {11201, K::MeterCaption, "AdaptObr1", 0},
    {11202, K::Caption, "Label59", 0},
    {11203, K::Caption, "Label61", 0},
    {11204, K::Caption, "Label60", 0},
    {11205, K::Caption, "Label106", 0},
    {11206, K::Caption, "tpsbutton", 0},
    {11207, K::Caption, "Label56", 0},
    {11210, K::Caption, "CofnijAD2", 0},
    {11210, K::Caption, "CofnijAD3", 0},
    {11210, K::Caption, "CofnijAD4", 0},
    {11210, K::Caption, "CofnijAD5", 0},
    {11210, K::Caption, "CofnijAD6", 0},
    {11210, K::Caption, "CofnijAD7", 0},
    {11210, K::Caption, "CofnijAD8", 0},
    {11400, K::TabCaption, "adaptsonda", 0},
    {11401, K::MeterCaption, "ObrSondy", 0},
    {11402, K::Caption, "Label107", 0},
    {11403, K::Caption, "Label62", 0},
    {11404, K::Caption, "Label63", 0},
    {11405, K::Caption, "Label64", 0},
    {11406, K::Caption, "SondButton", 0},
    {11407, K::Caption, "Label87", 0},
    {11500, K::TabCaption, "adapt5", 0},
    {11501, K::Caption, "Label66", 0},
    {11502, K::Caption, "SRCheckBox1Label", 0},
    {11503, K::Caption, "srcheckbox2Label", 0},
    {11504, K::Caption, "Label29", 0},
    {11505, K::Caption, "Label74", 0},
    {11506, K::Caption, "SRCheckbox8Label", 0},
    {11507, K::Caption, "srcheckbox9Label", 0},
    {11508, K::Caption, "ParSamButton", 0},
    {11509, K::Caption, "Label89", 0},
    {11600, K::TabCaption, "adapt6", 0},
    {11601, K::Caption, "OczkaButton", 0},
    {11602, K::Caption, "Label90", 0},
    {11603, K::Caption, "Label84", 0},
    {11700, K::TabCaption, "przedreduktorem", 0},
    {11701, K::MeterCaption, "ObrPrzedRed", 0},
    {11702, K::Caption, "Label108", 0},
    {11703, K::Caption, "przedreduktbutton", 0},
    {11704, K::Caption, "NastapiloPrzejscieBGLABEL", 0},
    {11800, K::TabCaption, "Regulacjareduktora", 0},
    {11801, K::Caption, "Label109", 0},
    {11802, K::Caption, "Label68", 0},
    {11803, K::Caption, "Label69", 0},
    {11804, K::Caption, "RRbutton", 0},
    {11900, K::TabCaption, "MinMaxTab", 0},
    {11901, K::Caption, "Label70", 0},
    {11902, K::Caption, "Label76", 0},
    {11903, K::MeterCaption, "ObrMinMax", 0},
    {11904, K::Caption, "Label72", 0},
    {11905, K::Caption, "Label73", 0},
    {11906, K::Caption, "Label88", 0},
    {11907, K::Caption, "Label78", 0},
    {11908, K::Caption, "Label79", 0},
    {11909, K::Caption, "MinMaxButton", 0},
    {11910, K::Caption, "KomunikatKoncowy", 0},
};
// clang-format on

// Keys that only fill language texts.
QList<int> textKeys() {
    QList<int> keys;
    for (int k = 10350; k <= 10372; ++k)
        keys << k; // parameter comments
    keys << 10388 << 10389 << 10390 << 10408 << 10409;
    for (int k = 20001; k <= 20005; ++k)
        keys << k;
    for (int k = 30000; k <= 30014; ++k)
        keys << k;
    for (int k : LanguageTexts().keys())
        if (k >= ReadFailedText) keys << k;
    return keys;
}

const QHash<int, QList<Target>>& table() {
    static const QHash<int, QList<Target>> t = [] {
        QHash<int, QList<Target>> h;
        for (const Row& r : Rows)
            h[r.key].append(Target{r.kind, QString::fromLatin1(r.name), r.item});
        for (int k : textKeys())
            h[k].append(Target{TargetKind::Text, QString(), 0});
        return h;
    }();
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

const QList<LanguageChoice>& languageChoices() {
    static const QList<LanguageChoice> c = {
        {"PL", "polish.lng", "JPolski", 20001},   {"EN", "english.lng", "JAngielski", 20002},
        {"CZ", "czech.lng", "JCzeski", 20003},    {"RU", "russian.lng", "JRosyjski", 20004},
        {"IT", "italiano.lng", "JWloski", 20005},
    };
    return c;
}

const LanguageChoice* choiceByCode(const QString& code) {
    for (const LanguageChoice& c : languageChoices())
        if (code == QLatin1String(c.code)) return &c;
    return nullptr;
}

const LanguageChoice* choiceByFile(const QString& fileName) {
    for (const LanguageChoice& c : languageChoices())
        if (fileName == QLatin1String(c.file)) return &c;
    return nullptr;
}

QString helpFileFor(const QString& languageFile) {
    if (languageFile == QLatin1String("polish.lng")) return QStringLiteral("help/quendrix_pl.html");
    if (languageFile == QLatin1String("russian.lng")) return QStringLiteral("help/quendrix_ru.html");
    if (languageFile == QLatin1String("english.lng") || languageFile == QLatin1String("czech.lng") ||
        languageFile == QLatin1String("italiano.lng"))
        return QStringLiteral("help/quendrix_en.html");
    return {};
}

const QStringList& keptSelections() {
    static const QStringList names = {QStringLiteral("ComboBox1"), QStringLiteral("ComboBox4"),
                                      QStringLiteral("ComboBox9"), QStringLiteral("ComboBox20"),
                                      QStringLiteral("ComboBox21")};
    return names;
}

} // namespace shell::lang
