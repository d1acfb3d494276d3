#pragma once
#include <QList>
#include <QString>

namespace shell::skin {

// What one skin key sets on the control of that name.
enum class Property {
    Visible,        // gradient panel shown (non-zero) or hidden (0)
    GradFrom,       // GradSettings.ColorFrom
    GradTo,         // GradSettings.ColorTo
    ButtonFore,     // coloured button ForeColor
    ButtonBack,     // coloured button BackColor
    ButtonHover,    // coloured button HoverColor
    FieldFont,      // edit field or combo box text colour
    FieldBack,      // edit field or combo box background
    FontColor,      // label, check box or lamp caption colour
    BackColor,      // panel, group box, check box or label background
    LabelHighlight, // background of the focused parameter label (no control)
    MeterFont,      // meter Font (value read-out) colour
    MeterFontUnit,  // meter FontUnit colour
    MeterScaleFont, // meter ScaleSettings.Font colour
    ChartLineD,     // chart Linecolor_d, stored without a repaint
};

struct Target {
    Property property;
    QString objectName; // empty for LabelHighlight
};

// Targets of a key; empty for keys that set nothing.
QList<Target> targets(int key);
// Every key that sets something, ascending.
QList<int> allKeys();

// A skin value as a colour: non-negative values are 0x00BBGGRR, negative ones
// name a system colour by the index in their low byte.
struct Colour {
    bool system = false;
    int systemIndex = 0; // Windows COLOR_* index when system
    unsigned bgr = 0;    // when not system
};
Colour colour(qint32 value);

// Controls whose background follows the label highlight colour after every
// applied skin line.
const QStringList& highlightFollowers();

struct SkinChoice {
    const char* code;     // the "skin" setting
    const char* file;     // in skins/
    const char* menuItem; // radio item of the skin menu
};
const QList<SkinChoice>& skinChoices(); // ord, col, sil, nak
const SkinChoice* choiceByCode(const QString& code);
const SkinChoice* choiceByMenuItem(const QString& menuItem);

// The bad-line message of skin files (fixed, not a language text).
QString badLineMessage();

} // namespace shell::skin
