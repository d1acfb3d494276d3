// The printed parameter sheet: its rows and values, the drawing operations
// (header, title, rows, fonts, colours, positions) and painting it scaled
// onto a page, an image and a PDF file.
#include "params/ParamTable.h"
#include "params/PrintSheet.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

ParameterSet storedSet() {
    ParameterSet s = defaultParameterSet();
    s[ParamId::ProbeKind] = "3";
    s[ParamId::TpsKind] = "1";
    s[ParamId::RpmKind] = "9"; // outside the list
    s[ParamId::ControllerMode] = "1";
    s[ParamId::ReserveSensorKind] = "0";
    s[ParamId::CutoffOn] = "1";
    s[ParamId::StepMin] = "20";
    s[ParamId::StepMax] = "180";
    s[ParamId::LambdaLowTime] = "300";
    s[ParamId::LambdaHighTime] = "700";
    s[ParamId::SwitchTemp] = "40";
    return s;
}

SheetTexts englishTexts() {
    SheetTexts t = SheetTexts::builtIn();
    t.title = "System parameters";
    for (std::size_t i = 0; i < t.captions.size(); ++i)
        t.captions[i] = QString("Caption %1").arg(i + 1);
    return t;
}

std::vector<SheetOp> textOps(const std::vector<SheetOp>& ops) {
    std::vector<SheetOp> out;
    for (const SheetOp& op : ops)
        if (op.kind == SheetOp::Text) out.push_back(op);
    return out;
}

bool sameOp(const SheetOp& a, const SheetOp& b) {
    return a.kind == b.kind && a.text == b.text && a.family == b.family && a.pointSize == b.pointSize &&
           a.bold == b.bold && a.italic == b.italic && a.color == b.color && a.at == b.at && a.box == b.box;
}

// Dark pixels in a band of rows.
int inkIn(const QImage& img, int top, int bottom) {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(img.height(), bottom); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) ++n;
    return n;
}

} // namespace

class TestPrintSheet : public QObject {
    Q_OBJECT
private slots:
    void rowsAndValues();
    void drawingOperations();
    void languageChangesCaptionsNotHeader();
    void fontsAreInstalledStandIns();
    void paintsScaledOntoAnyPage();
    void savesPdf();
};

void TestPrintSheet::rowsAndValues() {
    const PrintSheet sheet = buildPrintSheet(storedSet(), "4 cylindry", SheetTexts::builtIn());
    QCOMPARE(sheet.title, QString("Parametry systemu"));
    QCOMPARE(sheet.rows[0].caption, QString("Rodzaj sondy lambda"));
    QCOMPARE(sheet.rows[0].value, QString("0,8 - 1,6 [V]")); // list item at the stored index
    QCOMPARE(sheet.rows[3].value, QString::fromUtf8("malejący"));
    QCOMPARE(sheet.rows[8].value, QString()); // index outside the list
    QCOMPARE(sheet.rows[10].value + "/" + sheet.rows[10].value2, QString("20/180"));
    QCOMPARE(sheet.rows[12].value + "/" + sheet.rows[12].value2, QString("300/700"));
    QCOMPARE(sheet.rows[14].value, QString("1")); // CutoffOn as stored, not a word
    QCOMPARE(sheet.rows[19].value, QString("dynamiczna"));
    QCOMPARE(sheet.rows[20].value, QString("20K"));
    QCOMPARE(sheet.rows[21].value, QString("4 cylindry"));
    QCOMPARE(sheet.rows[22].caption, QString("Temperatura"));
    QCOMPARE(sheet.rows[22].value, QString("40"));
    for (std::size_t i = 0; i < sheet.rows.size(); ++i)
        QCOMPARE(sheet.rows[i].twoValues, i == 10 || i == 12);

    ParameterSet off = storedSet();
    off[ParamId::CutoffOn] = "0";
    QCOMPARE(buildPrintSheet(off, {}, SheetTexts::builtIn()).rows[14].value, QString("0"));

    // Translated list items, and a sheet printed before any parameters were read.
    SheetTexts t = SheetTexts::builtIn();
    t.listItems[ParamId::ControllerMode] = QStringList{"economy", "dynamic"};
    QCOMPARE(buildPrintSheet(storedSet(), {}, t).rows[19].value, QString("dynamic"));
    const PrintSheet empty = buildPrintSheet(storedSet(), "4 cylindry", t, false);
    for (const SheetRow& r : empty.rows) {
        QVERIFY(!r.caption.isEmpty());
        QVERIFY(r.value.isEmpty() && r.value2.isEmpty());
    }

    // The print page's labels for each row.
    QCOMPARE(sheetRowDefs()[10].valueLabel + sheetRowDefs()[10].value2Label, QString("Par11_1Par11_2"));
    QCOMPARE(sheetRowDefs()[21].source, QString("Label91"));
    QVERIFY(!sheetRowDefs()[21].value.has_value());
}

void TestPrintSheet::drawingOperations() {
    const PrintSheet sheet = buildPrintSheet(storedSet(), "4 cylindry", SheetTexts::builtIn());
    const std::vector<SheetOp> ops = sheetOps(sheet);
    QCOMPARE(int(ops.size()), 5 + 2 * 23 + 2);

    struct Want {
        SheetOp::Kind kind;
        QString text;
        QString family;
        int size;
        bool bold, italic;
        QColor color;
        QPointF at;
    };
    const QColor blue(0, 0, 255), purple(128, 0, 128), black(0, 0, 0);
    const Want header[] = {
        {SheetOp::Text, "TAVRIN", "comic sans ms", 32, true, true, blue, {250, 170}},
        {SheetOp::Ellipse, "", "", 0, false, false, black, {}},
        {SheetOp::Text, "QUEN", "arial", 16, false, false, purple, {1530, 370}},
        {SheetOp::Text, QString(QChar(0x03BB)), "arial", 16, true, false, purple, {1880, 364}},
        {SheetOp::Text, "Parametry systemu", "arial", 16, true, false, black, {1250, 990}},
    };
    for (int i = 0; i < 5; ++i) {
        const SheetOp& op = ops[std::size_t(i)];
        const Want& w = header[i];
        QCOMPARE(op.kind, w.kind);
        if (op.kind == SheetOp::Ellipse) {
            QCOMPARE(op.box, QRectF(QPointF(1450, 290), QPointF(2000, 590)));
            continue;
        }
        QCOMPARE(op.text, w.text);
        QCOMPARE(op.family, w.family);
        QCOMPARE(op.pointSize, w.size);
        QCOMPARE(op.bold, w.bold);
        QCOMPARE(op.italic, w.italic);
        QCOMPARE(op.color, w.color);
        QCOMPARE(op.at, w.at);
    }

    // Rows 1..23 in order, 170 apart from y 1340: caption at x 250, value at
    // x 2150, the second values of rows 11 and 13 at x 2500.
    std::size_t k = 5;
    for (int n = 1; n <= 23; ++n) {
        const SheetRow& r = sheet.rows[std::size_t(n - 1)];
        const double y = 1170 + 170 * n;
        QStringList want = {r.caption, r.value};
        QList<double> xs = {250, 2150};
        if (r.twoValues) {
            want << r.value2;
            xs << 2500;
        }
        for (int j = 0; j < want.size(); ++j, ++k) {
            const SheetOp& op = ops[k];
            QCOMPARE(op.text, want[j]);
            QCOMPARE(op.at, QPointF(xs[j], y));
            QCOMPARE(op.family, QString("arial"));
            QCOMPARE(op.pointSize, 16);
            QVERIFY(!op.bold && !op.italic);
            QCOMPARE(op.color, black);
        }
    }
    QCOMPARE(ops[5 + 2 * 14 + 2 + 1].text,
             QString("1")); // row 15's value, after the two-value rows 11 and 13
    QCOMPARE(ops.back().at.y(), 5080.0);
}

void TestPrintSheet::languageChangesCaptionsNotHeader() {
    const std::vector<SheetOp> pl =
        sheetOps(buildPrintSheet(storedSet(), "4 cylindry", SheetTexts::builtIn()));
    const std::vector<SheetOp> en = sheetOps(buildPrintSheet(storedSet(), "4 cylindry", englishTexts()));
    QCOMPARE(pl.size(), en.size());
    for (int i = 0; i < 4; ++i) // maker's name, ellipse, product mark
        QVERIFY(sameOp(pl[std::size_t(i)], en[std::size_t(i)]));
    QCOMPARE(en[4].text, QString("System parameters"));
    QVERIFY(pl[4].text != en[4].text);
    std::size_t k = 5;
    for (int n = 1; n <= 23; ++n) {
        QCOMPARE(en[k].text, QString("Caption %1").arg(n));
        QVERIFY(pl[k].text != en[k].text);
        const int values = (n == 11 || n == 13) ? 2 : 1;
        for (int j = 1; j <= values; ++j)
            QVERIFY(sameOp(pl[k + std::size_t(j)], en[k + std::size_t(j)])); // values stay
        k += std::size_t(1 + values);
    }
}

void TestPrintSheet::fontsAreInstalledStandIns() {
    const QStringList installed = QFontDatabase::families();
    const QStringList arialLike = {"Arial",     "Liberation Sans", "Arimo",
                                   "Helvetica", "Nimbus Sans",     "DejaVu Sans"};
    const QStringList comicLike = {"Comic Sans MS",   "Comic Neue", "Comic Relief",
                                   "Liberation Sans", "Arimo",      "DejaVu Sans"};
    for (const SheetOp& op : textOps(sheetOps(buildPrintSheet(storedSet(), {}, SheetTexts::builtIn())))) {
        const QStringList& chain = op.family == "arial" ? arialLike : comicLike;
        if (installed.contains(chain.first(), Qt::CaseInsensitive)) {
            QCOMPARE(op.usedFamily.toLower(), chain.first().toLower()); // the asked font when installed
        } else if (std::any_of(chain.begin(), chain.end(), [&](const QString& f) {
                       return installed.contains(f, Qt::CaseInsensitive);
                   })) {
            QVERIFY2(chain.contains(op.usedFamily, Qt::CaseInsensitive), qPrintable(op.usedFamily));
        }
        QVERIFY2(installed.contains(op.usedFamily), qPrintable(op.usedFamily));
        // No text runs into the next one on its line, whatever font stands in.
        if (op.room > 0) {
            const double width = QFontMetricsF(sheetFont(op)).horizontalAdvance(op.text) * op.scaleX;
            QVERIFY2(width <= op.room + 0.5, qPrintable(op.text));
            QVERIFY(op.scaleX > 0.5 && op.scaleX <= 1.0);
        }
    }
    // The lambda's font can draw the Greek letter.
    const SheetOp lambda = sheetOps(buildPrintSheet(storedSet(), {}, SheetTexts::builtIn()))[3];
    QVERIFY(QFontMetricsF(sheetFont(lambda)).inFontUcs4(0x03BB));
}

void TestPrintSheet::paintsScaledOntoAnyPage() {
    const PrintSheet sheet = buildPrintSheet(storedSet(), "4 cylindry", SheetTexts::builtIn());
    // An A4 page at 72 dpi: the design space (600 dpi units) is far larger
    // than the page and must be scaled down to fit, last row included.
    for (const QSize size : {QSize(595, 842), QSize(300, 300)}) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        QVERIFY(printSheet(img, sheet));
        const double scale =
            std::min(size.width() / SheetDesignSize.width(), size.height() / SheetDesignSize.height());
        const int lastRowTop = int(5080 * scale), lastRowBottom = int((5080 + 200) * scale) + 1;
        QVERIFY2(inkIn(img, lastRowTop, lastRowBottom) > 0, "the last row is on the page");
        QCOMPARE(inkIn(img, lastRowBottom + 2, size.height()), 0);
        QVERIFY(inkIn(img, int(170 * scale), int(450 * scale)) > 0); // the header
        // The purple product mark inside the ellipse.
        const QRect mark = QRectF(1450 * scale, 290 * scale, 550 * scale, 300 * scale).toAlignedRect();
        int purple = 0;
        for (int y = mark.top(); y <= mark.bottom(); ++y)
            for (int x = mark.left(); x <= mark.right(); ++x) {
                const QColor c =
                    img.pixelColor(x + int((size.width() - SheetDesignSize.width() * scale) / 2), y);
                if (c.red() > c.green() + 40 && c.blue() > c.green() + 40) ++purple;
            }
        QVERIFY(purple > 0);
    }
}

void TestPrintSheet::savesPdf() {
    QTemporaryDir dir;
    const QString path = dir.filePath("sheet.pdf");
    QString error;
    QVERIFY2(saveSheetPdf(path, buildPrintSheet(storedSet(), "4 cylindry", SheetTexts::builtIn()), &error),
             qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/Count 1")); // one page
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));

    // A name that is a folder: refused, named in the message, nothing left behind.
    error.clear();
    QVERIFY(!saveSheetPdf(dir.path(), buildPrintSheet(storedSet(), {}, SheetTexts::builtIn()), &error));
    QCOMPARE(error, QString::fromUtf8("Nie można zapisać „%1”: to jest folder, nie plik.").arg(dir.path()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"sheet.pdf"});
}

QTEST_MAIN(TestPrintSheet)
#include "tst_printsheet.moc"
