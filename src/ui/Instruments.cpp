#include "ui/Instruments.h"

#include "core/Readings.h"
#include "widgets/FitText.h"
#include "widgets/TColor.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TLedBar.h"
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"

#include <QLabel>

namespace liveui {

TReadout* makePanel(QWidget* parent, ctl::ControlId id, int pointSize) {
    return makePanel(parent, id, ctl::row(id).design, pointSize);
}

TReadout* makePanel(QWidget* parent, ctl::ControlId id, const QRect& at, int pointSize) {
    auto* l = ctl::make<TReadout>(id, parent);
    l->setGeometry(at);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setLineWidth(2);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0x10, 0x18, 0x28));
    p.setColor(QPalette::WindowText, QColor(0x7C, 0xFC, 0x00));
    l->setPalette(p);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLabel* makeLabel(QWidget* parent, ctl::ControlId id, const QString& text, int pointSize, bool bold) {
    return makeLabel(parent, id, text, ctl::row(id).design, pointSize, bold);
}

QLabel* makeLabel(QWidget* parent, ctl::ControlId id, const QString& text, const QRect& at, int pointSize,
                  bool bold) {
    auto* l = ctl::make<QLabel>(id, parent);
    l->setText(text);
    l->setGeometry(at);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    // One-line captions keep inside their box in every language and layout.
    fitTextToBox(l);
    return l;
}

void setSignal(TAnalogGauge* gauge, int digitalFrom, int digitalTo, double valueFrom, double valueTo,
               const QString& format, const QString& unit, const QString& name1) {
    auto& s = gauge->signalSettings();
    s.DigitalFrom = digitalFrom;
    s.DigitalTo = digitalTo;
    s.ValueFrom = valueFrom;
    s.ValueTo = valueTo;
    s.ValueFormat = format;
    s.ValueUnit = unit;
    if (!name1.isNull()) s.Name1 = name1;
}

void setupSpeedMeter(TRoundMeter* m, const QString& caption) {
    // The dial reads 0-8 in thousands: the unit says so, or 0.8 would read as 0.8 rpm.
    setSignal(m, 0, 8000, 0, 8.0, QStringLiteral("##0.0"), QStringLiteral("x1000 rpm"), caption);
    auto& sec = m->sectorSettings();
    sec.Sector1From = 0;
    sec.Sector1To = 80;
    sec.Sector2From = 80;
    sec.Sector2To = 820;
    sec.Sector3From = 820;
    sec.Sector3To = 1000;
    m->setLimitLower(0.6f);
    m->setLimitUpper(6.5f);
    auto& sc = m->scaleSettings();
    sc.Steps = 8;
    sc.SubSteps = 2;
    m->setOptions(opName1 | opUnit | opSector | opLimit);
}

void setLightGradient(TGradientPanel* panel) {
    panel->setColorFrom(QColor(238, 242, 247));
    panel->setColorTo(QColor(200, 210, 224));
}

void setTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

void applyLedScale(TLedBar* bar, const live::ProbeScale& s) {
    bar->setMin(0);
    bar->setMax(s.upperEnd);
    bar->setStartColor2(s.startColor2);
    bar->setStartColor3(s.startColor3);
    if (s.ledColor1) bar->setColorLED1(tColor(*s.ledColor1));
    if (s.ledColor3) bar->setColorLED3(tColor(*s.ledColor3));
}

} // namespace liveui
