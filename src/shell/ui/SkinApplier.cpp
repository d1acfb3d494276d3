#include "shell/ui/SkinApplier.h"
#include "core/Controls.h"

#include "shell/SkinKeys.h"
#include "shell/ui/LanguageApplier.h"
#include "shell/ui/NamedObjects.h"
#include "widgets/TAnalogGauge.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TLedLamp.h"
#include "widgets/TSweepChart.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using Id = ctl::ControlId;

namespace {

using shell::skin::Property;

// Windows COLOR_* indices onto the palette roles that play the same part.
QPalette::ColorRole systemRole(int index) {
    switch (index) {
    case 0:  // scroll bar
    case 15: // button face
        return QPalette::Button;
    case 2:  // active caption
    case 13: // highlight
    case 27:
    case 29: // menu highlight
        return QPalette::Highlight;
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 9:  // caption text
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 12: // application workspace
        return QPalette::Dark;
    case 16: // button shadow
        return QPalette::Mid;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23: // info text
        return QPalette::ToolTipText;
    case 24: // info background
        return QPalette::ToolTipBase;
    case 26: // hot light
        return QPalette::Link;
    case 1:  // desktop
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
    case 30: // menu bar
        return QPalette::Window;
    case 17: // grey text
        return QPalette::PlaceholderText;
    default: // 7 menu text, 8 window text, 19 inactive caption text ...
        return QPalette::WindowText;
    }
}

void setRoles(QWidget* w, std::initializer_list<QPalette::ColorRole> roles, const QColor& c,
              bool fill = false) {
    QPalette p = w->palette();
    for (QPalette::ColorRole r : roles)
        p.setColor(r, c);
    w->setPalette(p);
    if (fill) w->setAutoFillBackground(true);
}

void setFontColour(QWidget* w, const QColor& c) {
    if (auto* lamp = qobject_cast<TLedLamp*>(w))
        lamp->setCaptionColor(c);
    else if (auto* flat = qobject_cast<TFlatCheckBox*>(w)) {
        flat->setFontColor(c);
        setRoles(w, {QPalette::WindowText, QPalette::ButtonText}, c);
    } else if (auto* button = qobject_cast<TColorButton*>(w))
        button->setForeColor(c);
    else
        setRoles(w, {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}, c);
}

void setBackColour(QWidget* w, const QColor& c) {
    if (auto* flat = qobject_cast<TFlatCheckBox*>(w))
        flat->setColor(c);
    else if (auto* button = qobject_cast<TColorButton*>(w))
        button->setBackColor(c);
    else
        setRoles(w, {QPalette::Window}, c, true);
}

void setProperty(QWidget* w, Property p, qint32 value, const QColor& c) {
    switch (p) {
    case Property::Visible:
        // Hidden by the skin or shown again; showing waits for the window to be shown.
        w->setVisible(value != 0);
        break;
    case Property::GradFrom:
        if (auto* g = qobject_cast<TGradientPanel*>(w)) g->setColorFrom(c);
        break;
    case Property::GradTo:
        if (auto* g = qobject_cast<TGradientPanel*>(w)) g->setColorTo(c);
        break;
    case Property::ButtonFore:
        if (auto* b = qobject_cast<TColorButton*>(w))
            b->setForeColor(c);
        else
            setRoles(w, {QPalette::ButtonText}, c);
        break;
    case Property::ButtonBack:
        if (auto* b = qobject_cast<TColorButton*>(w))
            b->setBackColor(c);
        else
            setRoles(w, {QPalette::Button}, c);
        break;
    case Property::ButtonHover:
        if (auto* b = qobject_cast<TColorButton*>(w)) b->setHoverColor(c);
        break;
    case Property::FieldFont:
        setRoles(w, {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}, c);
        break;
    case Property::FieldBack:
        setRoles(w, {QPalette::Base, QPalette::Button}, c);
        break;
    case Property::FontColor:
        setFontColour(w, c);
        break;
    case Property::BackColor:
        setBackColour(w, c);
        break;
    case Property::MeterFont:
        if (auto* g = qobject_cast<TAnalogGauge*>(w)) g->setValueFontColor(c);
        break;
    case Property::MeterFontUnit:
        if (auto* g = qobject_cast<TAnalogGauge*>(w)) g->setFontUnitColor(c);
        break;
    case Property::MeterScaleFont:
        if (auto* g = qobject_cast<TAnalogGauge*>(w)) g->setScaleFontColor(c);
        break;
    case Property::ChartLineD:
        // A plain field: the next sample draws with it.
        if (auto* chart = qobject_cast<TSweepChart*>(w)) chart->Linecolor_d = c;
        break;
    case Property::LabelHighlight:
        break;
    }
}

} // namespace

SkinApplier::SkinApplier(QWidget* root, unsigned* labelHighlight)
    : root_(root), labelHighlight_(labelHighlight) {}

QColor SkinApplier::colour(qint32 value) {
    const shell::skin::Colour c = shell::skin::colour(value);
    if (!c.system) return tColor(c.bgr);
    return QApplication::palette().color(QPalette::Active, systemRole(c.systemIndex));
}

bool SkinApplier::loadFile(const QString& path) {
    return apply(shell::readSkinFile(path));
}

bool SkinApplier::apply(const shell::SkinFileContents& contents) {
    const NamedObjects named(root_);
    QList<QWidget*> followers;
    for (const QString& name : shell::skin::highlightFollowers())
        followers += named.of<QWidget>(name);
    const QString checkBox22 = ctl::name(Id::CheckBox22_2);

    for (const shell::SkinLine& line : contents.lines) {
        if (line.kind == shell::SkinLine::Kind::Short) {
            if (showBadLine)
                showBadLine(::badLineMessage(shell::skin::badLineMessage(), contents.fileName,
                                             line.lineNumber, text));
            continue;
        }
        if (line.kind == shell::SkinLine::Kind::Comment) continue; // nothing at all happens for a comment
        const QColor c = colour(line.value);
        for (const shell::skin::Target& t : shell::skin::targets(line.key)) {
            if (t.property == Property::LabelHighlight) {
                if (labelHighlight_) *labelHighlight_ = tColorValue(c);
                continue;
            }
            for (QWidget* w : named.of<QWidget>(t.objectName))
                setProperty(w, t.property, line.value, c);
        }
        // Every other line, unknown keys included: the labels take the highlight
        // colour (it shows only while a label is opaque); CheckBox22_2 shows it.
        const QColor highlight = tColor(labelHighlight_ ? *labelHighlight_ : 0xEEEEEE);
        for (QWidget* w : followers) {
            if (w->objectName() == checkBox22)
                setBackColour(w, highlight);
            else
                setRoles(w, {QPalette::Window}, highlight);
        }
    }
    if (!contents.outcome.complete() && showError) showError(shell::outcomeMessage(contents.outcome, text));
    return contents.outcome.complete();
}
