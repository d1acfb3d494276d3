#include "core/LanguageKeys.h"
#include "core/Controls.h"
#include "core/LanguageTexts.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace shell::lang {
namespace {

TargetKind kindOf(ctl::Text t) {
    switch (t) {
    case ctl::Text::MenuItem:
        return TargetKind::MenuItem;
    case ctl::Text::TabCaption:
        return TargetKind::TabCaption;
    case ctl::Text::ComboItem:
        return TargetKind::ComboItem;
    case ctl::Text::MeterCaption:
        return TargetKind::MeterCaption;
    case ctl::Text::None:
    case ctl::Text::Caption:
        break;
    }
    return TargetKind::Caption;
}

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
        for (const ctl::Row& r : ctl::all()) {
            if (r.text == ctl::Text::None) continue;
            for (int i = 0; i < r.textCount; ++i)
                h[r.textKey + i].append(Target{kindOf(r.text), QString::fromLatin1(r.name), i});
        }
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

namespace {
const char* menuName(ctl::ControlId id) {
    return ctl::row(id).name;
}
} // namespace

const QList<LanguageChoice>& languageChoices() {
    static const QList<LanguageChoice> c = {
        {"PL", "polish.lng", menuName(ctl::ControlId::JPolski), 20001},
        {"EN", "english.lng", menuName(ctl::ControlId::JAngielski), 20002},
        {"CZ", "czech.lng", menuName(ctl::ControlId::JCzeski), 20003},
        {"RU", "russian.lng", menuName(ctl::ControlId::JRosyjski), 20004},
        {"IT", "italiano.lng", menuName(ctl::ControlId::JWloski), 20005},
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
    using ctl::ControlId;
    static const QStringList names = {ctl::name(ControlId::ComboBox1), ctl::name(ControlId::ComboBox4),
                                      ctl::name(ControlId::ComboBox9), ctl::name(ControlId::ComboBox20),
                                      ctl::name(ControlId::ComboBox21)};
    return names;
}

} // namespace shell::lang
