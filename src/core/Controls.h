#pragma once
#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// The main window's controls, each declared once in ControlTableRows.h: its id,
// object name, kind, page, what the screen-size layouts do to its font and the
// language and skin keys that fill it. Pages create controls by id; the
// language, skin and layout tables are derived from the rows.
namespace ctl {

enum class ControlId {
#define QX_CONTROL(name, ...) name,
#define QX_SKIN(...)
#include "core/ControlTableRows.h"
#undef QX_CONTROL
#undef QX_SKIN
};

enum class Kind {
    Window,
    Dialog,
    Menu,
    Status,
    Tabs,
    Page, // a page of a tab widget
    Label,
    Panel, // a sunken read-out label
    Group,
    Button,
    CheckBox,
    Combo,
    Edit,
    Gradient,
    Meter,
    Gauge,
    Lamp,
    Chart,
    Picture,
    Spin,
};

enum class Page { Main, Parameters, EngineSpeed, Live, Wizard, Print };

// What a screen-size layout does to the font (Auto: what the widget's class says).
enum class FontRole {
    Auto,
    Title,           // the layout's title size
    Scaled,          // design points times the layout's scale
    Doubled,         // twice the layout's base size
    PositionOnly,    // moved, neither resized nor refonted
    FlatCheckBox,    // base size
    HalfMeter,       // base size read-out, scale and unit
    RoundMeter,      // base size read-out
    LargeRoundMeter, // two points over the base size
    VerticalGauge,
    Thermometer,
    Lamp,
    Combo,
    NoFont, // pictures, bars, charts, gradients
};

// What the control's language key fills.
enum class Text { None, Caption, MenuItem, TabCaption, ComboItem, MeterCaption };

// The run of skin keys a control takes, from its first key.
enum class Skin {
    None,
    Gradient,   // shown, colour from, colour to
    Button,     // fore, back, hover
    Field,      // font, background
    Font,       // caption colour
    Back,       // background
    MeterScale, // meter scale font colour
    ChartLine,  // chart line colour
};

// A further skin key of a control that takes several (meters).
enum class SkinProperty { FontColor, MeterFont, MeterFontUnit, MeterScaleFont };

struct Row {
    ControlId id;
    const char* name;
    Kind kind;
    Page page;
    FontRole font;
    int points; // design size of a Scaled font
    Text text;
    int textKey;   // 0: none
    int textCount; // combo entries from textKey; 1 otherwise
    Skin skin;
    int skinKey;  // first key; 0: none
    QRect design; // 800 x 600 rectangle in its parent; null on Qt-layout pages, menus and tabs
};

struct ExtraSkinKey {
    ControlId id;
    SkinProperty property;
    int key;
};

QString name(ControlId id);
std::optional<ControlId> byName(const QString& objectName);
const Row& row(ControlId id);
const QList<Row>& all();
const QList<ExtraSkinKey>& extraSkinKeys();

// A new widget of class W under parent, named for id and placed at its design
// rectangle when the row has one.
template <class W, class P> W* make(ControlId id, P* parent) {
    auto* w = new W(parent);
    w->setObjectName(name(id));
    if constexpr (requires { w->setGeometry(QRect()); })
        if (const QRect& r = row(id).design; !r.isNull()) w->setGeometry(r);
    return w;
}

} // namespace ctl
