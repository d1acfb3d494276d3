// The print page driven through its widgets: its labels filled from the
// parameter set and the language texts, the sheet it prints (drawn onto an
// image), Enter and the two buttons, and the PDF it saves. How it looks in
// the window is checked by tst_paramwindow.
#include "live/LiveModel.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/PrintSheet.h"
#include "params/ui/PrintPage.h"
#include "support/ModelsRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString text;
};

// A set as a read would leave it: every row shows something different from the defaults.
ParameterSet storedSet() {
    ParameterSet s = defaultParameterSet();
    s[ParamId::ProbeKind] = "3";
    s[ParamId::SwitchRpm] = "2500";
    s[ParamId::TpsKind] = "1";
    s[ParamId::RpmKind] = "1";
    s[ParamId::ControllerMode] = "1";
    s[ParamId::ReserveSensorKind] = "7"; // outside the list: an empty value
    s[ParamId::CutoffOn] = "1";
    s[ParamId::StepMin] = "20";
    s[ParamId::StepMax] = "180";
    s[ParamId::LambdaLowTime] = "300";
    s[ParamId::LambdaHighTime] = "700";
    s[ParamId::SwitchTemp] = "40";
    return s;
}

struct Rig : ModelsRig {
    std::unique_ptr<QWidget> window;
    PrintPage* page = nullptr;
    std::vector<PrintSheet> printed;
    std::vector<Message> messages;
    QString pdfPath;
    int pdfAsked = 0;

    explicit Rig(bool seams = true) {
        window = std::make_unique<QWidget>();
        QFont font(QStringLiteral("Arial")); // as the main window sets it
        font.setPixelSize(11);
        window->setFont(font);
        window->resize(795, 490); // the page area of the 799 x 540 window
        page = new PrintPage(models(), window.get());
        page->resize(window->size());
        if (seams) page->setPrintHandler([this](const PrintSheet& s) { printed.push_back(s); });
        page->setPdfPathChooser([this] {
            ++pdfAsked;
            return pdfPath;
        });
        page->setMessageHandler([this](QMessageBox::Icon i, const QString&, const QString& t) {
            messages.push_back({i, t});
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QLabel* label(const QString& name) const {
        QLabel* l = page->findChild<QLabel*>(name);
        if (!l) qFatal("no label %s", qPrintable(name));
        return l;
    }
    QAbstractButton* button(const char* name) const {
        return page->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    // The parameters page was shown and read this set; the ignition list shows `ignition`.
    void readAndVisit(const ParameterSet& set, int ignition) {
        params.fill(set, ParameterModel::Origin::Controller);
        live.setIgnitionChoice(ignition);
        shell.paramsVisited = true;
    }
    QStringList values() const {
        QStringList v;
        for (const SheetRowDef& d : sheetRowDefs()) {
            v << label(d.valueLabel)->text();
            if (!d.value2Label.isEmpty()) v << label(d.value2Label)->text();
        }
        return v;
    }
};

// Dark pixels of an image inside a rectangle.
int ink(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
            if (qGray(img.pixel(x, y)) < 128) ++n;
    return n;
}

// The sheet on an A4 page at 150 dpi, and the page rectangle of a design-space rectangle.
struct Rendered {
    QImage img{1240, 1754, QImage::Format_RGB32};
    double scale = 0;
    double left = 0;
    explicit Rendered(const PrintSheet& sheet) {
        img.fill(Qt::white);
        printSheet(img, sheet);
        scale = std::min(img.width() / SheetDesignSize.width(), img.height() / SheetDesignSize.height());
        left = (img.width() - SheetDesignSize.width() * scale) / 2;
    }
    QRect area(double x, double y, double w, double h) const {
        return QRectF(left + x * scale, y * scale, w * scale, h * scale).toAlignedRect();
    }
    // The value column of row n (1..23), up to the next column or the page's edge.
    QRect valueCell(int n, bool second = false) const {
        const double y = 1170 + 170 * n;
        return second ? area(2500, y, 280, 150) : area(2150, y, 300, 150);
    }
};

} // namespace

class TestPrintPage : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::restoreOverrideCursor(); }
    void labelsInTheirGroups();
    void valuesOnlyAfterTheParametersPage();
    void languageChangeRefillsCaptionsAndTitle();
    void printsWhatTheLabelsShow();
    void enterPrintsOrSavesTheFocusedPdf();
    void previewPrintsNothingWhenClosed();
    void savesPdf();
};

void TestPrintPage::labelsInTheirGroups() {
    Rig r;
    QCOMPARE(r.page->objectName(), QStringLiteral("DrukowanieTab"));
    QVERIFY(r.page->findChild<QLabel*>("LabelPS"));
    QCOMPARE(r.button("DrukujButt")->text(), QStringLiteral("Drukuj"));
    QCOMPARE(r.button("ZapiszPdfButt")->text(), QStringLiteral("Zapisz PDF"));
    auto* g17 = r.page->findChild<QGroupBox*>("GroupBox17");
    auto* g18 = r.page->findChild<QGroupBox*>("GroupBox18");
    QVERIFY(g17 && g18);
    QStringList in17, in18;
    for (QLabel* l : g17->findChildren<QLabel*>())
        in17 << l->objectName();
    for (QLabel* l : g18->findChildren<QLabel*>())
        in18 << l->objectName();
    QStringList want17, want18;
    for (int n = 1; n <= 11; ++n)
        want17 << QStringLiteral("Napis%1").arg(n, 2, 10, QLatin1Char('0'));
    for (int n = 1; n <= 10; ++n)
        want17 << QStringLiteral("Par%1").arg(n, 2, 10, QLatin1Char('0'));
    want17 << "Par11_1"
           << "Par11_2";
    for (int n = 12; n <= 23; ++n)
        want18 << QStringLiteral("Napis%1").arg(n);
    want18 << "Par12"
           << "Par13_1"
           << "Par13_2";
    for (int n = 14; n <= 23; ++n)
        want18 << QStringLiteral("Par%1").arg(n);
    in17.sort();
    in18.sort();
    want17.sort();
    want18.sort();
    QCOMPARE(in17, want17);
    QCOMPARE(in18, want18);
    // Rows stand in order, each caption beside its values.
    for (std::size_t i = 0; i < sheetRowDefs().size(); ++i) {
        const SheetRowDef& d = sheetRowDefs()[i];
        QLabel* caption = r.label(d.captionLabel);
        QLabel* value = r.label(d.valueLabel);
        QVERIFY(std::abs(caption->geometry().center().y() - value->geometry().center().y()) <= 2);
        QVERIFY(value->x() > caption->x());
        if (i > 0 && i != 11) {
            QLabel* above = r.label(sheetRowDefs()[i - 1].captionLabel);
            QVERIFY2(caption->y() >= above->geometry().bottom(), qPrintable(d.captionLabel));
        }
    }
}

void TestPrintPage::valuesOnlyAfterTheParametersPage() {
    Rig r;
    // F9 right after start: captions and title, no values.
    r.params.fill(storedSet(), ParameterModel::Origin::Controller);
    r.page->enterPage();
    QCOMPARE(r.label("LabelPS")->text(), QStringLiteral("Parametry systemu"));
    const SheetTexts builtIn = SheetTexts::builtIn();
    for (std::size_t i = 0; i < sheetRowDefs().size(); ++i)
        QCOMPARE(r.label(sheetRowDefs()[i].captionLabel)->text(), builtIn.captions[i]);
    for (const QString& v : r.values())
        QVERIFY(v.isEmpty());

    // After the parameters page: the stored set, not what the page shows unwritten.
    r.readAndVisit(storedSet(), 3);
    r.params.setPageValue(ParamId::SwitchRpm, "4000");
    r.page->enterPage();
    const QStringList want = {"0,8 - 1,6 [V]",
                              "0,50",
                              "2500",
                              QString::fromUtf8("malejący"),
                              "1,25",
                              "3",
                              "6",
                              "7000",
                              QString::fromUtf8("malejące"),
                              "500",
                              "20",
                              "180",
                              "100",
                              "300",
                              "700",
                              "1",
                              "1",
                              "30",
                              "1500",
                              "30",
                              "100",
                              "dynamiczna",
                              "",
                              "5 cylindry",
                              "40"};
    QCOMPARE(r.values(), want);

    // Row 15 is the stored flag as "1" or "0"; an ignition index outside its list prints nothing.
    ParameterSet off = storedSet();
    off[ParamId::CutoffOn] = "0";
    r.readAndVisit(off, 9);
    r.page->enterPage();
    QCOMPARE(r.label("Par15")->text(), QStringLiteral("0"));
    QCOMPARE(r.label("Par22")->text(), QString());
}

void TestPrintPage::languageChangeRefillsCaptionsAndTitle() {
    Rig r;
    r.readAndVisit(storedSet(), 2);
    r.page->enterPage();
    const PrintSheet before = r.page->sheet();

    // An English file: the menu entry, the caption labels and the list items it names.
    r.shell.texts().set(10102, "System parameters");
    r.shell.texts().set(10301, "Lambda probe type");
    r.shell.texts().set(10312, "Stepper min. and max.");
    r.shell.texts().set(10507, "Ignition system");
    r.shell.texts().set(10407, "Temperature");
    r.shell.texts().set(10333, "0.8 - 1.6 [V]");
    r.shell.texts().set(10503, "4 cylinders");
    r.shell.texts().set(10701, "Print");
    r.shell.textsReloaded();

    QCOMPARE(r.label("LabelPS")->text(), QStringLiteral("System parameters"));
    QCOMPARE(r.label("Napis01")->text(), QStringLiteral("Lambda probe type"));
    QCOMPARE(r.label("Napis11")->text(), QStringLiteral("Stepper min. and max."));
    QCOMPARE(r.label("Napis22")->text(), QStringLiteral("Ignition system"));
    QCOMPARE(r.label("Napis23")->text(), QStringLiteral("Temperature"));
    QCOMPARE(r.label("Napis02")->text(), before.rows[1].caption); // no text for it: kept
    QCOMPARE(r.label("Par01")->text(), QStringLiteral("0.8 - 1.6 [V]"));
    QCOMPARE(r.label("Par22")->text(), QStringLiteral("4 cylinders"));
    QCOMPARE(r.label("Par03")->text(), before.rows[2].value);
    QCOMPARE(r.button("DrukujButt")->text(), QStringLiteral("Print"));

    // On paper: the header and product mark stay, title and captions follow.
    const std::vector<SheetOp> pl = sheetOps(before), en = sheetOps(r.page->sheet());
    QCOMPARE(pl.size(), en.size());
    for (std::size_t i = 0; i < 4; ++i) {
        QCOMPARE(en[i].text, pl[i].text);
        QCOMPARE(en[i].at, pl[i].at);
        QCOMPARE(en[i].box, pl[i].box);
    }
    QCOMPARE(en[4].text, QStringLiteral("System parameters"));
    QCOMPARE(en[5].text, QStringLiteral("Lambda probe type"));
}

void TestPrintPage::printsWhatTheLabelsShow() {
    Rig r;
    r.readAndVisit(storedSet(), 2);
    r.page->enterPage();
    r.button("DrukujButt")->click();
    QCOMPARE(r.printed.size(), std::size_t(1));
    const PrintSheet& s = r.printed[0];
    QCOMPARE(s.title, r.label("LabelPS")->text());

    // Drawn in order: header, title, then per row its caption and values.
    const std::vector<SheetOp> ops = sheetOps(s);
    std::size_t k = 5;
    for (std::size_t i = 0; i < sheetRowDefs().size(); ++i) {
        const SheetRowDef& d = sheetRowDefs()[i];
        QCOMPARE(ops[k++].text, r.label(d.captionLabel)->text());
        QCOMPARE(ops[k++].text, r.label(d.valueLabel)->text());
        if (!d.value2Label.isEmpty()) QCOMPARE(ops[k++].text, r.label(d.value2Label)->text());
    }
    QCOMPARE(k, ops.size());

    // On paper: every row with a value has ink in its value column; the
    // empty one (row 21, an index outside its list) has none.
    const Rendered page(s);
    QVERIFY(ink(page.img, page.area(250, 170, 1000, 300)) > 0);  // maker's name
    QVERIFY(ink(page.img, page.area(1250, 990, 1200, 150)) > 0); // title
    for (int n = 1; n <= 23; ++n) {
        QVERIFY2(ink(page.img, page.area(250, 1170 + 170 * n, 1500, 150)) > 0,
                 qPrintable(QString::number(n)));
        const bool empty = n == 21;
        QCOMPARE(ink(page.img, page.valueCell(n)) > 0, !empty);
    }
    QVERIFY(ink(page.img, page.valueCell(11, true)) > 0);
    QVERIFY(ink(page.img, page.valueCell(13, true)) > 0);

    // Before the parameters page was shown the sheet has captions only.
    Rig fresh;
    fresh.page->enterPage();
    fresh.button("DrukujButt")->click();
    const Rendered blank(fresh.printed.at(0));
    for (int n = 1; n <= 23; ++n) {
        QVERIFY(ink(blank.img, blank.area(250, 1170 + 170 * n, 1500, 150)) > 0);
        QCOMPARE(ink(blank.img, blank.valueCell(n)), 0);
    }
}

void TestPrintPage::enterPrintsOrSavesTheFocusedPdf() {
    Rig r;
    QVERIFY(r.page->usesStepKeys());
    r.page->stepForward();
    QCOMPARE(r.printed.size(), std::size_t(1));
    r.page->stepBack(); // no meaning here
    QCOMPARE(r.printed.size(), std::size_t(1));

    r.button("ZapiszPdfButt")->setFocus();
    QTRY_VERIFY(r.button("ZapiszPdfButt")->hasFocus());
    r.page->stepForward();
    QCOMPARE(r.pdfAsked, 1); // cancelled: nothing saved, nothing printed
    QCOMPARE(r.printed.size(), std::size_t(1));
    QVERIFY(r.messages.empty());
}

void TestPrintPage::previewPrintsNothingWhenClosed() {
    Rig r(false);
    r.readAndVisit(storedSet(), 2);
    r.page->enterPage();
    int pages = -1;
    QString title;
    // Closes the preview once it shows its page.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* w = preview ? preview->findChild<QPrintPreviewWidget*>() : nullptr;
        if (!w || w->pageCount() == 0) return;
        title = preview->windowTitle();
        pages = w->pageCount();
        preview->reject();
    });
    closer.start(50);
    r.button("DrukujButt")->click();
    closer.stop();
    QCOMPARE(title, QStringLiteral("Drukuj"));
    QCOMPARE(pages, 1); // the one-page sheet
    QVERIFY(r.messages.empty());
}

void TestPrintPage::savesPdf() {
    Rig r;
    r.readAndVisit(storedSet(), 2);
    r.page->enterPage();
    QTemporaryDir dir;
    r.pdfPath = dir.filePath("car.pdf");
    r.button("ZapiszPdfButt")->click();
    QFile f(r.pdfPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/Count 1"));
    QCOMPARE(r.shell.message(), QStringLiteral("Zapisano plik PDF %1").arg(r.pdfPath));

    // A folder that does not exist: the message names the file, no status.
    r.shell.setMessage({});
    r.pdfPath = dir.filePath("missing/car.pdf");
    r.button("ZapiszPdfButt")->click();
    QCOMPARE(r.messages.size(), std::size_t(1));
    QCOMPARE(r.messages[0].icon, QMessageBox::Critical);
    QVERIFY2(r.messages[0].text.contains(r.pdfPath), qPrintable(r.messages[0].text));
    QVERIFY(r.shell.message().isEmpty());
}

QTEST_MAIN(TestPrintPage)
#include "tst_printpage.moc"
