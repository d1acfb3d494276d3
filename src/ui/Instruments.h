#pragma once
// Setup shared by the live pages: the instrument configurations of the window
// definition and the numeric read-out panels.
#include "core/Controls.h"

#include <QRect>
#include <QString>

namespace live {
struct ProbeScale;
}
class QLabel;
class TReadout;
class TLedBar;
class QWidget;
class TAnalogGauge;
class TRoundMeter;
class TGradientPanel;

namespace liveui {

// A numeric read-out: sunken panel, bold centred text, at the control's design rectangle.
TReadout* makePanel(QWidget* parent, ctl::ControlId id, int pointSize = 12);
// The same at a rectangle computed by the page (the control's row has none).
TReadout* makePanel(QWidget* parent, ctl::ControlId id, const QRect& at, int pointSize = 12);
// A centred caption at the control's design rectangle, or at one the page computes.
QLabel* makeLabel(QWidget* parent, ctl::ControlId id, const QString& text, int pointSize = 9,
                  bool bold = false);
QLabel* makeLabel(QWidget* parent, ctl::ControlId id, const QString& text, const QRect& at, int pointSize = 9,
                  bool bold = false);
// Raw range, engineering range, read-out format, unit and caption of an analog instrument.
void setSignal(TAnalogGauge* gauge, int digitalFrom, int digitalTo, double valueFrom, double valueTo,
               const QString& format, const QString& unit, const QString& name1 = QString());
// Engine-speed round meter: 0-8000 digits as 0-8.0, "##0.0", sectors 0-80,
// 80-820, 820-1000, limits 0.6 and 6.5, 8 steps of 2 sub-steps.
void setupSpeedMeter(TRoundMeter* meter, const QString& caption);
// The window definition's light page background (skins may change it).
void setLightGradient(TGradientPanel* panel);
// The lambda LED bar's range, zone starts and zone colours for a probe kind.
void applyLedScale(TLedBar* bar, const live::ProbeScale& scale);
// Sets a label's text only when it differs, so unchanged read-outs never repaint.
void setTextIfChanged(QLabel* label, const QString& text);

} // namespace liveui
