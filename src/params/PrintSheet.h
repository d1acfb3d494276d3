#pragma once
// The printed parameter sheet: what it says (title and 23 rows of caption and
// values) and how it is drawn (a list of drawing operations in the sheet's own
// design units, painted scaled onto any page: printer, PDF or image).
#include "params/ParameterSet.h"

#include <QColor>
#include <QFont>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class QPainter;
class QPaintDevice;

constexpr int SheetRowCount = 23;

// Where each row of the print page comes from: the label its caption is copied
// from, the print page's own labels, and the parameters it shows.
struct SheetRowDef {
    QString source;       // object name of the caption it prints
    QString captionLabel; // the printout's caption label
    QString valueLabel;
    QString value2Label;          // a second value label; empty for one value
    std::optional<ParamId> value; // nullopt for row 22: the ignition system chosen on the engine-speed page
    std::optional<ParamId> value2;
};
const std::array<SheetRowDef, SheetRowCount>& sheetRowDefs();

// The texts of the sheet that follow the language.
struct SheetTexts {
    QString title; // the caption of the menu entry ParButton
    std::array<QString, SheetRowCount> captions;
    // Items of the lists as the parameters page shows them; a list not given
    // uses its built-in items.
    QMap<ParamId, QStringList> listItems;

    // The window definition's Polish captions.
    static SheetTexts builtIn();
};

struct SheetRow {
    QString caption;
    QString value;
    QString value2;
    bool twoValues = false;
};

struct PrintSheet {
    QString title;
    // Under the title, above the rows: what a sheet of values the controller
    // never got is (a loaded, unwritten file). Empty for the controller's set.
    QString heading;
    std::array<SheetRow, SheetRowCount> rows;
};

// The sheet for a stored parameter set. Lists print the item at the stored
// index (empty outside the list), CutoffOn prints "1" or "0". ignitionText is
// row 22's value. Without values (the parameters page not yet shown) every
// value is empty.
PrintSheet buildPrintSheet(const ParameterSet& stored, const QString& ignitionText, const SheetTexts& texts,
                           bool withValues = true);

// ----------------------------------------------------------------- drawing

// One drawing step in design units: device pixels of a 600 dpi page, the
// header at the top left, rows from y 1340 to 5080.
struct SheetOp {
    enum Kind { Text, Ellipse } kind = Text;
    QString text;
    QString family;     // the family the sheet asks for: "comic sans ms", "arial"
    QString usedFamily; // the installed family drawn with (the asked one or a metric-compatible stand-in)
    int pointSize = 0;
    bool bold = false;
    bool italic = false;
    QColor color;
    QPointF at; // top-left corner of a text
    QRectF box; // bounding box of an ellipse
    // Room before the next text on the line (0: none needed) and the
    // horizontal scale that keeps the text inside it: fallback fonts run wider
    // than the ones the sheet was laid out for, and texts must not overlap.
    double room = 0;
    double scaleX = 1.0;
};

constexpr int SheetDesignDpi = 600;
// The design space every sheet fits in; it is scaled to the printable page keeping its proportions.
constexpr QSizeF SheetDesignSize{2800.0, 5300.0};

// The font an operation is drawn with, its size in design units.
QFont sheetFont(const SheetOp& op);

// The installed family used for an asked one: the family itself when
// installed, else a metric-compatible or similar stand-in, else the first
// sans family there is. Needs a QGuiApplication.
QString sheetFontFamily(const QString& asked);

// Header (maker's name, ellipse, product mark "QUEN" + "λ"), title, then each
// row's caption and values, in drawing order.
std::vector<SheetOp> sheetOps(const PrintSheet& sheet);

// Paints the operations into target (device coordinates of the painter),
// scaling the design space uniformly to fit, centred horizontally, at the top.
void paintSheet(QPainter& painter, const QRectF& target, const std::vector<SheetOp>& ops);

// Paints the sheet on a whole device (a QPrinter after its dialog, a QPdfWriter,
// a QImage): begins a painter on it, paints into its printable area, ends.
// False when the device cannot be painted on.
bool printSheet(QPaintDevice& device, const PrintSheet& sheet);

// "Zapisz PDF": writes the sheet as a one-page A4 PDF, atomically. On failure
// *error names the file and the reason.
bool saveSheetPdf(const QString& path, const PrintSheet& sheet, QString* error);
