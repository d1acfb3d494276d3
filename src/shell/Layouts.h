#pragma once
#include "core/PageMetrics.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// Screen-size layouts of the main window: the numbers of each layout and the
// rules that place the window and size the fonts. The window is designed for
// 800 x 600; every scaled control is placed at its design bounds times the
// layout's factor.
namespace shell::layout {

struct Layout {
    int width = 0; // 640 ... 1280 and 1600; 0 for any other screen width
    int item = 3;  // layout menu item it checks: 1 = 640x480 ... 6 = 1280x1024
    double scale = 1.0;
    int baseFont = 12;
    int titleFont = 18;
    std::optional<ParamPageNumbers> paramPage; // none for any other width
    std::optional<QRect> pageControl1;         // none: design bounds
    std::optional<QRect> pageControl2;         // none: design bounds
    QSize window;                              // when the screen is wider; invalid: unchanged
};

// The layout for a width (the screen width when the caller passes 0 on).
Layout forWidth(int width);
// The width whose layout a screen starts with (applyLayout with 0). The
// original program took the screen's width alone, so a 1280 x 800 laptop got
// the 1280 x 1024 layout and the live page ran off the bottom of its screen.
// Here the available area (the screen without its task bar) decides as well:
// the screen width's layout when the area holds the screen that layout is
// made for (less a task bar, TaskBarAllowance), else the largest smaller
// layout it holds (640 x 480 at least). A width outside the table keeps its
// own value (design sizes) when the 800 x 600 layout fits.
constexpr int TaskBarAllowance = 40;
int startWidth(QSize screen, const QRect& availableArea);
// The layout of a menu item 1 ... 6.
Layout forItem(int item);
// Object names of the layout menu items 1 ... 6.
QString menuItem(int item);
// Width of a layout menu item 1 ... 6.
int itemWidth(int item);
// Height of the screen a layout menu item 1 ... 6 is made for (480 ... 1024).
int itemHeight(int item);

// How the window is shown after a layout for width w on a screen.
struct WindowRule {
    enum class Mode {
        FullScreen, // zoom box on, window zoomed to the screen (screen width equals w)
        Fixed,      // no zoom box, normal state, window of the layout's size
        Centred,    // 1600 only: normal state, 1278 x 1000, centred on the screen
        Unchanged,  // any other width: neither border icons nor size change
    };
    Mode mode = Mode::Unchanged;
    QSize size;
    QPoint position; // Centred only
};
WindowRule windowRule(int w, QSize screen);
// Geometry of a full-screen window on every resize: (2, 2), the screen's width
// and the bottom edge of the work area as height.
QRect fullScreenGeometry(QSize screen, const QRect& workArea);
// round(screen / 2) - round(window / 2) on each axis (menu commands, start).
QPoint centred(QSize screen, QSize window);

// The scaled controls by kind, and what a layout does to their fonts.
enum class ControlKind {
    Label,
    Group,        // group boxes and panels
    CheckBox,     // check boxes and speed buttons
    PositionOnly, // the engine capacity choices: moved, neither resized nor refonted
    HalfMeter,    // Gauge4
    RoundMeter,
    VerticalGauge, // Gauge3
    Thermometer,
    Lamp,
    ColourButton,
    Combo,
    FlatCheckBox, // the gas-level sensor choices
    NoFont,       // pictures, tank, LED bars, chart, spin buttons, gradients, bars
};

// Font sizes in points; 0 leaves that font as it is.
struct FontSizes {
    int main = 0;       // caption, value read-out or text
    int unit = 0;       // meters' FontUnit
    int scale = 0;      // meters' ScaleSettings.Font
    bool plain = false; // labels below 10 points lose their bold
    int lampHeight = 0; // lamps only
};
FontSizes fontsFor(ControlKind kind, const QString& objectName, const Layout& l);
// Kinds decided by name alone (the rest follow the widget's class).
std::optional<ControlKind> kindByName(const QString& objectName);

} // namespace shell::layout
