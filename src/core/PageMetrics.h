#pragma once
#include <QRect>
#include <QSize>

// The numbers every layout rescales by, and the parameters page's own
// placement by font size: the page applies them, the layout table chooses them.
namespace shell::layout {

// The factors are kept with a 40-bit mantissa, as the controller software's
// original 48-bit reals, so that products that land near .5 round the same way.
double real48(double x);
int roundHalfEven(double x);
// Left, top, width and height each times the factor, rounded.
QRect scaled(const QRect& design, double factor);

struct ParamPageNumbers {
    int font;           // F
    int fieldColumn;    // E
    int groupWidth;     // C
    int referenceWidth; // R
};
// The 800 x 600 layout's numbers: the pages' own until a layout gives them theirs.
inline constexpr ParamPageNumbers DesignParamPage{12, 236, 316, 800};

// The parameters page's own placement by font size F (8, 12, 16, 21).
struct ParamPageMetrics {
    int font = 12;
    int s = 0, r = 3, p = 0, q = 2; // font offsets: fields, combo boxes, long labels, check-box labels
    double groupFactor = 1.05;
    QSize window; // the page's window size for this font
    int leftColumn = 20;
    int infoFont = 16;
    int infoRightGap = 30; // info stretches to this many pixels short of the window's right edge
    int groupGap = 6;      // vertical gap between stacked groups
    int fieldFont() const { return font - s; }
    int comboFont() const { return font - r; }
    int longLabelFont() const { return font - p; } // Label8, Label18
    int checkLabelFont() const { return font - q; }
};
ParamPageMetrics paramPageMetrics(int font);
int rightColumnLeft(int referenceWidth); // round(R * 25 / 57)
// Heights of the groups: left column GroupBox20, GroupBox9, GroupBox14; right
// column GroupBox22, GroupBox8, GroupBox21.
struct GroupHeights {
    int left[3];
    int right[3];
};
GroupHeights groupHeights(int font);

} // namespace shell::layout
