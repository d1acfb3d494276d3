#include "shell/SkinKeys.h"
#include "core/Controls.h"

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

void addRun(Table& t, int key, std::initializer_list<P> run, const char* name) {
    for (P p : run)
        add(t, key++, p, name);
}

P propertyOf(ctl::SkinProperty p) {
    switch (p) {
    case ctl::SkinProperty::MeterFont:
        return P::MeterFont;
    case ctl::SkinProperty::MeterFontUnit:
        return P::MeterFontUnit;
    case ctl::SkinProperty::MeterScaleFont:
        return P::MeterScaleFont;
    case ctl::SkinProperty::FontColor:
        break;
    }
    return P::FontColor;
}

Table build() {
    Table t;
    for (const ctl::Row& r : ctl::all()) {
        switch (r.skin) {
        case ctl::Skin::None:
            break;
        case ctl::Skin::Gradient:
            addRun(t, r.skinKey, {P::Visible, P::GradFrom, P::GradTo}, r.name);
            break;
        case ctl::Skin::Button:
            addRun(t, r.skinKey, {P::ButtonFore, P::ButtonBack, P::ButtonHover}, r.name);
            break;
        case ctl::Skin::Field:
            addRun(t, r.skinKey, {P::FieldFont, P::FieldBack}, r.name);
            break;
        case ctl::Skin::Font:
            add(t, r.skinKey, P::FontColor, r.name);
            break;
        case ctl::Skin::Back:
            add(t, r.skinKey, P::BackColor, r.name);
            break;
        case ctl::Skin::MeterScale:
            add(t, r.skinKey, P::MeterScaleFont, r.name);
            break;
        case ctl::Skin::ChartLine:
            add(t, r.skinKey, P::ChartLineD, r.name);
            break;
        }
    }
    for (const ctl::ExtraSkinKey& e : ctl::extraSkinKeys())
        add(t, e.key, propertyOf(e.property), ctl::row(e.id).name);
    // The focused parameter label's background: no control of its own.
    t[10010].append(Target{P::LabelHighlight, QString()});
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
        using ctl::ControlId;
        QStringList n;
        for (ControlId id : {ControlId::Label1,
                             ControlId::Label2,
                             ControlId::Label3,
                             ControlId::Label4,
                             ControlId::Label5,
                             ControlId::Label6,
                             ControlId::Label7,
                             ControlId::Label8,
                             ControlId::Label9,
                             ControlId::Label10,
                             ControlId::Label12,
                             ControlId::Label13,
                             ControlId::Label14,
                             ControlId::Label16,
                             ControlId::Label17,
                             ControlId::Label18,
                             ControlId::Label19,
                             ControlId::Label20,
                             ControlId::Label21,
                             ControlId::Label22,
                             ControlId::Label23,
                             ControlId::CheckBox8_2_label,
                             ControlId::CheckBox13_3_Label,
                             ControlId::CheckBox15_Label,
                             ControlId::CheckBox22_2})
            n << ctl::name(id);
        return n;
    }();
    return names;
}

const QList<SkinChoice>& skinChoices() {
    static const QList<SkinChoice> c = {
        {"ord", "default.skr", ctl::row(ctl::ControlId::skorkaZwy).name},
        {"col", "kolorowa_niebieski.skr", ctl::row(ctl::ControlId::skorkaKol).name},
        {"sil", "silver.skr", ctl::row(ctl::ControlId::SkorkaSil).name},
        {"nak", "bezbarwn.skr", ctl::row(ctl::ControlId::SkorkaBez).name},
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
