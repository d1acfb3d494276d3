#include "core/LanguageTexts.h"
#include "shell/ui/LanguageApplier.h"
#include "shell/ui/LayoutApplier.h"
#include "shell/ui/SkinApplier.h"
#include "support/MainWindowRig.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TLedLamp.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TSweepChart.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>

namespace {

QString source(const QString& relative) {
    return QDir(qEnvironmentVariable("QUENDRIX_SOURCE", QStringLiteral("."))).filePath(relative);
}

template <class T> T* make(QWidget* parent, const char* name, QRect bounds = QRect(10, 10, 80, 20)) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(bounds);
    return w;
}

// A small main window with the names the appliers look for.
struct Window {
    QMainWindow main;
    QTabWidget* pages = nullptr;
    QTabWidget* wizard = nullptr;
    QAction* koniec = nullptr;
    QAction* druButton = nullptr;
    QMenu* menuTab = nullptr;
    QComboBox* probe = nullptr;
    QComboBox* ignition = nullptr;
    TColorButton* resButt = nullptr;
    TGradientPanel* grad4 = nullptr;
    TRoundMeter* meter = nullptr;
    TSweepChart* chart = nullptr;
    TLedLamp* gasLed = nullptr;
    QLabel* label26 = nullptr;
    QWidget* checkBox22 = nullptr;
    LanguageTexts texts;
    unsigned highlight = 0xEEEEEE;

    Window() {
        main.setObjectName(QStringLiteral("Form1"));
        menuTab = main.menuBar()->addMenu(QStringLiteral("Menu"));
        menuTab->setObjectName(QStringLiteral("MenuTab"));
        menuTab->menuAction()->setObjectName(QStringLiteral("MenuTab"));
        auto item = [](QMenu* m, const char* name) {
            QAction* a = m->addAction(QString::fromLatin1(name));
            a->setObjectName(QString::fromLatin1(name));
            return a;
        };
        koniec = item(menuTab, "KoniecButton");
        druButton = item(menuTab, "DruButton");
        auto* langs = new QActionGroup(&main);
        for (const char* n : {"JPolski", "JAngielski", "JCzeski", "JRosyjski", "JWloski"}) {
            QAction* a = item(menuTab, n);
            a->setCheckable(true);
            langs->addAction(a);
        }
        auto* sizes = new QActionGroup(&main);
        for (const char* n : {"CzcionkaMala", "CzcionkaSrednia", "CzcionkaDuza", "N1024", "N1152", "N1280"}) {
            QAction* a = item(menuTab, n);
            a->setCheckable(true);
            sizes->addAction(a);
        }

        auto* central = new QWidget;
        main.setCentralWidget(central);
        pages = make<QTabWidget>(central, "pagecontrol1", QRect(2, 0, 781, 520));
        auto page = [this](const char* name, const char* caption) {
            auto* p = new QWidget;
            p->setObjectName(QString::fromLatin1(name));
            pages->addTab(p, QString::fromLatin1(caption));
            p->resize(775, 490);
            return p;
        };
        QWidget* obroty = page("ObrotyTab", "Obroty");
        grad4 = make<TGradientPanel>(obroty, "GradPanel4", obroty->rect());
        ignition = make<QComboBox>(grad4, "ComboBox2", QRect(20, 40, 200, 22));
        ignition->addItems({"a", "b", "c", "d", "e", "f"});
        make<QLabel>(grad4, "Label91", QRect(20, 10, 300, 24))->setText(QStringLiteral("Wybor"));
        for (const char* n : {"Label59", "Label60", "Label61", "Label80", "Label81", "Label82"})
            make<QLabel>(grad4, n, QRect(20, 70, 50, 16));
        make<TFlatCheckBox>(grad4, "SRCheckBox3", QRect(101, 201, 51, 17));

        QWidget* params = page("ParametryTab", "Parametry systemu");
        make<QLabel>(params, "Label1", QRect(5, 12, 220, 18));
        probe = make<QComboBox>(params, "ComboBox1", QRect(236, 10, 70, 22));
        probe->addItems({"0 - 1 [V]", "0 - 5 [V]", "5 - 0 [V]", "0,8 - 1,6 [V]", "1 - 0 [V]"});
        for (const char* n : {"Label2", "Label8", "Label16", "CheckBox8_2_label"})
            make<QLabel>(params, n, QRect(5, 40, 220, 18));
        resButt = make<TColorButton>(params, "ResButt", QRect(20, 400, 120, 30));
        checkBox22 = make<TFlatCheckBox>(params, "CheckBox22_2", QRect(5, 300, 15, 15));

        QWidget* live = page("WizualizacjaTab", "Wizualizacja");
        meter = make<TRoundMeter>(live, "obrotomierz", QRect(300, 20, 200, 200));
        chart = make<TSweepChart>(live, "Scope1", QRect(20, 240, 265, 220));
        gasLed = make<TLedLamp>(live, "GasLed", QRect(520, 20, 120, 30));
        label26 = make<QLabel>(live, "Label26", QRect(20, 20, 150, 16));
        QFont bold = label26->font();
        bold.setBold(true);
        label26->setFont(bold);
        for (const char* n : {"ZmiennaPoziomGazuLabel", "ZmiennaObrotyLabel", "Label47", "ZmiennaGazBenzyna"})
            make<QLabel>(live, n, QRect(20, 50, 150, 16));

        QWidget* adapt = page("AutoadaptacjaTab", "Autoadaptacja");
        wizard = make<QTabWidget>(adapt, "PageControl2", QRect(8, 25, 760, 460));
        auto* step = new QWidget;
        step->setObjectName(QStringLiteral("adaptterm"));
        wizard->addTab(step, QStringLiteral("Ad2 - termometr"));
        for (int i = 2; i <= 8; ++i) {
            const QByteArray name = "CofnijAD" + QByteArray::number(i);
            make<TColorButton>(step, name.constData(), QRect(10 + 60 * i, 300, 55, 25));
        }
        page("DrukowanieTab", "Drukowanie parametrów");
        main.resize(800, 580);
    }

    QWidget* w(const char* name) const { return main.findChild<QWidget*>(QString::fromLatin1(name)); }
    QString text(const char* name) const {
        if (auto* l = qobject_cast<QLabel*>(w(name))) return l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w(name))) return b->text();
        return {};
    }
    QColor windowColour(const char* name) const { return w(name)->palette().color(QPalette::Window); }
};

struct Applied {
    LanguageApplier::Result result;
    int refreshes = 0;
    QStringList badLines;
    QStringList errors;
};

Applied applyLanguage(Window& win, const QByteArray& data,
                      const QString& file = QStringLiteral("english.lng")) {
    Applied a;
    LanguageApplier applier(&win.main, &win.texts);
    applier.afterEachLine = [&] { ++a.refreshes; };
    applier.showBadLine = [&](const QString& m) { a.badLines << m; };
    applier.showError = [&](const QString& m) { a.errors << m; };
    a.result = applier.apply(shell::parseLanguageFile(data, file), file);
    return a;
}

struct Skinned {
    bool complete = false;
    QStringList badLines;
};

Skinned applySkin(Window& win, const QByteArray& data) {
    Skinned s;
    SkinApplier applier(&win.main, &win.highlight);
    applier.showBadLine = [&](const QString& m) { s.badLines << m; };
    s.complete = applier.apply(shell::parseSkinFile(data, QStringLiteral("t.skr")));
    return s;
}

} // namespace

class TestAppliers : public QObject {
    Q_OBJECT
private slots:
    void languageLinesReachTheirTargets() {
        Window win;
        win.probe->setCurrentIndex(3);
        win.ignition->setCurrentIndex(4);
        const Applied a = applyLanguage(win, "# comment line\r\n"
                                             "10107 Exit\r\n"
                                             "10700 Print parameters\r\n"
                                             "11210 back\r\n"
                                             "10401 Gas level\r\n"
                                             "10405 Engine speed\r\n"
                                             "10330 zero to one\r\n"
                                             "10502 Double coil\r\n"
                                             "10100 Main\r\n"
                                             "10300 Parameters\r\n"
                                             "11100 Thermometer\r\n"
                                             "30005 Exit the program ?\r\n"
                                             "20001 Polish\r\n"
                                             "10101 ignored\r\n");
        QVERIFY(a.result.complete);
        QCOMPARE(a.refreshes, 14); // every line, the comment too
        QCOMPARE(win.koniec->text(), QStringLiteral("Exit"));
        QCOMPARE(win.druButton->text(), QStringLiteral("Print parameters"));
        QCOMPARE(win.pages->tabText(4), QStringLiteral("Print parameters"));
        for (int i = 2; i <= 8; ++i)
            QCOMPARE(win.text(QByteArray("CofnijAD" + QByteArray::number(i)).constData()),
                     QStringLiteral("back"));
        QCOMPARE(win.text("Label26"), QStringLiteral("Gas level"));
        QCOMPARE(win.text("ZmiennaPoziomGazuLabel"), QStringLiteral("Gas level"));
        QCOMPARE(win.meter->signalSettings().Name1, QStringLiteral("Engine speed"));
        QCOMPARE(win.text("ZmiennaObrotyLabel"), QStringLiteral("Engine speed"));
        QCOMPARE(win.probe->itemText(0), QStringLiteral("zero to one"));
        QCOMPARE(win.ignition->itemText(1), QStringLiteral("Double coil"));
        // Selections survive the new item texts.
        QCOMPARE(win.probe->currentIndex(), 3);
        QCOMPARE(win.ignition->currentIndex(), 4);
        QCOMPARE(win.menuTab->title(), QStringLiteral("Main"));
        QCOMPARE(win.pages->tabText(1), QStringLiteral("Parameters"));
        QCOMPARE(win.wizard->tabText(0), QStringLiteral("Thermometer"));
        QCOMPARE(win.texts.text(30005), QStringLiteral("Exit the program ?"));
        // The language names go on the menu after the file.
        QCOMPARE(win.main.findChild<QAction*>(QStringLiteral("JPolski"))->text(), QStringLiteral("Polish"));
        QCOMPARE(a.result.helpFile, QStringLiteral("help/quendrix_en.html"));
    }

    void exitLineEndings() {
        // CR LF and a bare LF give the same four letters.
        Window crlf, lf;
        applyLanguage(crlf, "10107 Exit\r\n");
        applyLanguage(lf, "10107 Exit\n");
        QCOMPARE(crlf.koniec->text(), QStringLiteral("Exit"));
        QCOMPARE(lf.koniec->text(), QStringLiteral("Exit"));
        // A last line without a line feed is not applied.
        Window tail;
        applyLanguage(tail, "10107 Exit");
        QCOMPARE(tail.koniec->text(), QStringLiteral("KoniecButton"));
    }

    void badLinesAndStops() {
        Window win;
        win.texts.set(30003, QStringLiteral("bad line"));
        const Applied a = applyLanguage(win, "10107 One\r\n\r\n10108 x\r\n1x107 Two\r\n10107 Three\r\n");
        // The file's bad-line text, and where the line is.
        QCOMPARE(a.badLines, QStringList{"bad line\n\nenglish.lng, wiersz 2"});
        QCOMPARE(a.refreshes, 2);
        QVERIFY(!a.result.complete);
        QCOMPARE(a.errors.size(), 1);
        QVERIFY(a.errors[0].contains(QStringLiteral("wiersz 4")));
        QCOMPARE(win.koniec->text(), QStringLiteral("One")); // lines before stay, the rest is not applied
    }

    // A file that would show gibberish, or change nothing, says so and applies nothing.
    void filesThatGiveNothingAreNamed_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("codePage"); // empty: the file holds no text
        const auto row = [](const char* tag, const QByteArray& data, const char* file, const char* codePage) {
            QTest::newRow(tag) << data << QString::fromLatin1(file) << QString::fromLatin1(codePage);
        };
        row("UTF-8", QStringLiteral("10107 Język\r\n").toUtf8(), "polish.lng", "Windows-1250");
        row("UTF-8 signature", "\xEF\xBB\xBF# x\r\n10107 Exit\r\n", "english.lng", "Windows-1250");
        row("Russian, UTF-8", QStringLiteral("10107 Выход\r\n").toUtf8(), "russian.lng", "Windows-1251");
        row("undefined byte", "10107 E\x81xit\r\n", "polish.lng", "Windows-1250");
        row("empty", "", "polish.lng", "");
        row("no line end", "10107 Exit", "english.lng", "");
    }
    void filesThatGiveNothingAreNamed() {
        QFETCH(QByteArray, data);
        QFETCH(QString, file);
        QFETCH(QString, codePage);
        Window win;
        const Applied a = applyLanguage(win, data, file);
        QVERIFY(!a.result.complete);
        QCOMPARE(a.errors, QStringList{codePage.isEmpty() ? win.texts.text(31081).arg(file)
                                                          : win.texts.text(31080).arg(file, codePage)});
        QCOMPARE(win.koniec->text(), QStringLiteral("KoniecButton"));
    }

    // The real window started on files put together by hand: markup in the
    // language texts shows as typed and no picture it names is loaded
    // (/dev/urandom would hang the start); settings that cannot be read are said as such.
    void startOnHandMadeFiles() {
        QTemporaryDir work;
        const QString settings = work.filePath(QStringLiteral("settings.ini"));
        qputenv("QUENDRIX_SETTINGS", settings.toUtf8());
        for (const QString& folder : {QStringLiteral("skins"), QStringLiteral("lang")})
            MainWindowRig::copyFolder(source(folder), work.filePath(folder));
        const QString picture = QStringLiteral("<img src='/dev/urandom'>");
        const QString rich = QStringLiteral("<b>bold</b><img src=local.png>");
        QFile english(work.filePath(QStringLiteral("lang/english.lng"))), store(settings);
        QVERIFY(english.open(QIODevice::Append) && store.open(QIODevice::WriteOnly));
        english.write(
            QStringLiteral("10507 %1\r\n10107 %2\r\n10300 %2\r\n10330 %2\r\n30000 %2\r\n30005 %1\r\n")
                .arg(picture, rich)
                .toLatin1());
        store.write("[General]\r\nLang=EN\r\n" + QByteArray("\x00\xff=\x01\r\n", 6));
        english.close();
        store.close();
        MainWindowRig::DataFolder data(work.path());
        MainWindowRig::Options o;
        o.keepSettings = true;
        MainWindowRig r(o);
        QCOMPARE(r.shellMessages,
                 QStringList{LanguageTexts().text(31083) + QStringLiteral("\n\n") + settings});
        QCOMPARE(r.w<QLabel>("Label91")->text(), picture);
        for (const QString& shown : {r.item("KoniecButton")->text(), r.form->pageControl()->tabText(1),
                                     r.w<QComboBox>("ComboBox1")->itemText(0)})
            QCOMPARE(shown, rich);
        QVERIFY2(r.form->windowTitle().contains(rich), qPrintable(r.form->windowTitle()));
        for (QLabel* l : r.form->findChildren<QLabel*>())
            QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
        QString asked; // the exit question, answered "No"
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (box->textFormat() == Qt::PlainText) asked = box->text();
                box->done(QMessageBox::No);
            }
        });
        answer.start(20);
        r.form->KoniecButtonClick();
        QCOMPARE(asked, picture);
        QWidget* label = r.w("Label91");
        label->setToolTip(rich);
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(label, &tip);
        QCOMPARE(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), rich);
    }

    void realLanguageFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("exit");
        QTest::newRow("polish") << "polish.lng" << QStringLiteral("Koniec");
        QTest::newRow("english") << "english.lng" << QStringLiteral("Exit");
        QTest::newRow("czech") << "czech.lng" << QStringLiteral("Konec");
        QTest::newRow("italiano") << "italiano.lng" << QStringLiteral("Esci");
        QTest::newRow("russian") << "russian.lng" << QStringLiteral("Выход");
    }

    void realLanguageFiles() {
        QFETCH(QString, file);
        Window win;
        win.probe->setCurrentIndex(2);
        // Built-in defaults cleared: every text must come from the file.
        const QList<int> ownTexts = LanguageTexts().keys();
        for (int key : ownTexts)
            win.texts.set(key, QString());
        LanguageApplier applier(&win.main, &win.texts);
        int problems = 0;
        applier.showBadLine = applier.showError = [&](const QString&) { ++problems; };
        const LanguageApplier::Result r = applier.loadFile(source(QStringLiteral("lang/") + file));
        QVERIFY(r.complete);
        QCOMPARE(problems, 0);
        QTEST(win.koniec->text(), "exit");
        QCOMPARE(win.probe->currentIndex(), 2);
        for (int key : ownTexts)
            QVERIFY2(!win.texts.text(key).isEmpty(), qPrintable(QString::number(key)));
    }

    void petrolGasIndicator() {
        Window win;
        applySkin(win, "18209 $00FF00\r\n"); // Label47 green
        LanguageApplier::showPetrolGas(&win.main, win.texts, true);
        QCOMPARE(win.text("ZmiennaGazBenzyna"), QStringLiteral("Benzyna"));
        QCOMPARE(win.w("ZmiennaGazBenzyna")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(win.gasLed->captionColor(), QColor(255, 0, 0));
        LanguageApplier::showPetrolGas(&win.main, win.texts, false);
        QCOMPARE(win.gasLed->caption(), QStringLiteral("Gaz"));
        QCOMPARE(win.w("ZmiennaGazBenzyna")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(win.gasLed->captionColor(), QColor(0, 255, 0));
    }

    void skinLines() {
        Window win;
        QVERIFY(applySkin(win, "10000 0\r\n").complete);
        QVERIFY(win.grad4->isHidden());
        applySkin(win, "10000 1\r\n10001 $FF0000\r\n10002 255\r\n");
        QVERIFY(!win.grad4->isHidden());
        QCOMPARE(win.grad4->colorFrom(), QColor(0, 0, 255));
        QCOMPARE(win.grad4->colorTo(), QColor(255, 0, 0));
        applySkin(win, "17101 $0000FF\r\n17100 -16777208\r\n17102 $00FF00\r\n");
        QCOMPARE(win.resButt->backColor(), QColor(255, 0, 0));
        QCOMPARE(win.resButt->foreColor(), QApplication::palette().color(QPalette::WindowText));
        QCOMPARE(win.resButt->hoverColor(), QColor(0, 255, 0));
        applySkin(win, "19109 $00FFFF\r\n");
        for (const char* n : {"Label59", "Label60", "Label61", "Label80", "Label81", "Label82"})
            QCOMPARE(win.w(n)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        applySkin(win, "18212 $FF00FF\r\n18219 $808000\r\n18206 $000080\r\n14801 $C0C0C0\r\n");
        QCOMPARE(win.meter->valueFontColor(), QColor(255, 0, 255));
        QCOMPARE(win.chart->Linecolor_d, QColor(0, 128, 128));
        QCOMPARE(win.gasLed->captionColor(), QColor(128, 0, 0));
        QCOMPARE(win.probe->palette().color(QPalette::Base), QColor(192, 192, 192));
    }

    void labelHighlightRule() {
        Window win;
        const Skinned s = applySkin(win, "10010 $00FFFF\r\n");
        QVERIFY(s.complete);
        QCOMPARE(win.highlight, 0x00FFFFu);
        QCOMPARE(win.windowColour("Label1"), QColor(255, 255, 0));
        QCOMPARE(win.windowColour("CheckBox8_2_label"), QColor(255, 255, 0));
        QCOMPARE(qobject_cast<TFlatCheckBox*>(win.checkBox22)->color(), QColor(255, 255, 0));
        // Labels stay transparent: the colour shows only when the page makes one opaque.
        QVERIFY(!win.w("Label1")->autoFillBackground());
        // A comment does not repaint the labels; any other line does, unknown keys too.
        QPalette p = win.w("Label1")->palette();
        p.setColor(QPalette::Window, Qt::black);
        win.w("Label1")->setPalette(p);
        applySkin(win, "# only a comment\r\n");
        QCOMPARE(win.windowColour("Label1"), QColor(Qt::black));
        applySkin(win, "99999 0\r\n");
        QCOMPARE(win.windowColour("Label1"), QColor(255, 255, 0));
        // A skin without key 10010 keeps the colour of the previous one.
        applySkin(win, "17101 $0000FF\r\n");
        QCOMPARE(win.highlight, 0x00FFFFu);
        // Bad lines: the fixed message, reading goes on; a bad value stops the file.
        const Skinned bad = applySkin(win, "12\r\n17101 $00FF00\r\n17101 green\r\n17101 $FF0000\r\n");
        QCOMPARE(bad.badLines, QStringList{"Blad w Pliku Ze skorkami\n\nt.skr, wiersz 1"});
        QVERIFY(!bad.complete);
        QCOMPARE(win.resButt->backColor(), QColor(0, 255, 0));
    }

    void realSkinFiles_data() {
        QTest::addColumn<QString>("file");
        for (const char* f : {"default.skr", "kolorowa_niebieski.skr", "silver.skr", "bezbarwn.skr"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }

    void realSkinFiles() {
        QFETCH(QString, file);
        Window win;
        SkinApplier applier(&win.main, &win.highlight);
        int problems = 0;
        applier.showBadLine = applier.showError = [&](const QString&) { ++problems; };
        QVERIFY(applier.loadFile(source(QStringLiteral("skins/") + file)));
        QCOMPARE(problems, 0);
        QVERIFY(!win.grad4->isHidden());
        // Text stays legible on its field.
        const QPalette fp = win.probe->palette();
        QVERIFY(qAbs(fp.color(QPalette::Text).lightness() - fp.color(QPalette::Base).lightness()) > 100);
        QVERIFY(qAbs(win.resButt->foreColor().lightness() - win.resButt->backColor().lightness()) > 90);
    }

    void layoutScalesFromDesignBounds() {
        Window win;
        win.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.main));
        LayoutApplier layout(&win.main);
        layout.recordDesignBounds();
        const LayoutApplier::Screen screen{QSize(1280, 1024), QRect(0, 0, 1280, 994)};
        const QRect label26 = win.label26->geometry();
        const QRect meter = win.meter->geometry();
        const QRect check = win.w("SRCheckBox3")->geometry();

        layout.applyLayout(1024, screen);
        QCOMPARE(layout.checkedItem(), 4);
        QVERIFY(win.main.findChild<QAction*>(QStringLiteral("N1024"))->isChecked());
        QCOMPARE(win.label26->geometry(), shell::layout::scaled(label26, 1.3));
        QCOMPARE(win.label26->font().pointSize(), 16);
        QVERIFY(win.label26->font().bold());
        QCOMPARE(win.meter->geometry(), shell::layout::scaled(meter, 1.3));
        QCOMPARE(win.pages->geometry(), QRect(2, 0, 1015, 676));
        QCOMPARE(win.wizard->geometry(), QRect(25, 49, 960, 555));
        // Moved but not resized.
        QCOMPARE(win.w("SRCheckBox3")->size(), check.size());
        QCOMPARE(win.w("SRCheckBox3")->pos(), shell::layout::scaled(check, 1.3).topLeft());
        // The parameters page has a placement of its own.
        QCOMPARE(win.w("Label1")->x(), 5);
        QCOMPARE(win.probe->x(), 310);
        QCOMPARE(win.probe->font().pointSize(), 11);
        QCOMPARE(win.w("Label8")->font().pointSize(), 16);
        QCOMPARE(win.w("CheckBox8_2_label")->x(), 25);

        // Another layout and back: the same bounds, never drifting.
        layout.applyLayout(640, screen);
        QCOMPARE(win.label26->font().pointSize(), 8);
        QVERIFY(!win.label26->font().bold()); // plain below 10 points
        layout.applyLayout(1024, screen);
        QCOMPARE(win.label26->geometry(), shell::layout::scaled(label26, 1.3));
        QVERIFY(win.label26->font().bold());
        QCOMPARE(win.meter->geometry(), shell::layout::scaled(meter, 1.3));

        // The gradient that fills its page keeps filling it.
        QTRY_COMPARE(win.grad4->geometry(), win.grad4->parentWidget()->rect());
        // Instruments redraw at their new size rather than stretching an old picture.
        win.pages->setCurrentIndex(2);
        QTRY_COMPARE(win.chart->image().size(), win.chart->size());
        const QImage face = win.meter->grab().toImage();
        QCOMPARE(face.size(), win.meter->size() * face.devicePixelRatio());
    }

    void layoutByScreenWidth() {
        Window win;
        LayoutApplier layout(&win.main);
        layout.recordDesignBounds();
        const QRect label26 = win.label26->geometry();

        // 1366: design sizes, 800x600 checked, the window left as it is.
        win.main.resize(900, 650);
        layout.applyLayout(0, {QSize(1366, 768), QRect(0, 0, 1366, 738)});
        QCOMPARE(layout.checkedItem(), 3);
        QVERIFY(win.main.findChild<QAction*>(QStringLiteral("CzcionkaDuza"))->isChecked());
        QCOMPARE(layout.scale(), 1.0);
        QCOMPARE(win.label26->geometry(), label26);
        QCOMPARE(win.pages->geometry(), QRect(2, 0, 781, 520));
        QCOMPARE(win.main.size(), QSize(900, 650));

        // 1600: the 1280 layout in a centred 1278 x 1000 window.
        layout.applyLayout(0, {QSize(1600, 1200), QRect(0, 0, 1600, 1170)});
        QCOMPARE(layout.checkedItem(), 6);
        QCOMPARE(win.main.size(), QSize(1278, 1000));
        QCOMPARE(win.main.pos(), QPoint(161, 100));
        QCOMPARE(win.label26->geometry(), shell::layout::scaled(label26, shell::layout::real48(1.608)));

        // The 800x600 menu command ends with the parameter page's 800 x 590 window.
        layout.layoutMenuCommand(3, {QSize(1280, 1024), QRect(0, 0, 1280, 994)});
        QCOMPARE(win.main.size(), QSize(800, 590));
        QCOMPARE(win.label26->geometry(), label26);
        QVERIFY(!layout.fullScreen());
        QVERIFY(!(win.main.windowFlags() & Qt::WindowMaximizeButtonHint));
    }
};

QTEST_MAIN(TestAppliers)
#include "tst_appliers.moc"
