// The log viewer as a fitter uses it: by keys alone, then by mouse, in the
// language of the program.
#include "core/ShellModel.h"
#include "live/ui/LogChart.h"
#include "live/ui/LogViewer.h"
#include "support/DriveLog.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {
// 0 .. 980 ms, gas from 330 ms, frames cut short at 50, 160, 270 ...
const QVector<live::LogRow> Rows = sampleDrive(99, 0, 10);

QString valueOf(LogViewer& v, const QString& name) {
    const QList<QTreeWidgetItem*> items =
        v.findChild<QTreeWidget*>(QStringLiteral("LogValues"))->findItems(name, Qt::MatchExactly);
    return items.isEmpty() ? QStringLiteral("(no row)") : items.front()->text(1);
}

// Pixels of the lambda trace's colour on the plot.
int lambdaPixels(LogChart* chart) {
    const QImage img = chart->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == qRgb(255, 0, 0);
    return n;
}
} // namespace

class TestLogViewer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void keysAlone();
    void mouse();
    void captionsFollowTheLanguage();
    void fileWithoutLog();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TestLogViewer::init() {
    path_ = dir_.filePath(QStringLiteral("drive.csv"));
    QFile f(path_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray data = live::csvHeader();
    for (const live::LogRow& r : Rows)
        live::appendCsvRow(data, r);
    f.write(data);
}

void TestLogViewer::keysAlone() {
    ShellModel shell;
    LogViewer v(shell);
    QVERIFY(v.openLog(path_));
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    LogChart* chart = v.chart();
    QTRY_VERIFY(chart->hasFocus());
    live::LogView& view = v.view();
    QCOMPARE(view.begin(), 0);
    QCOMPARE(view.end(), 980);
    QCOMPARE(v.tickedColumns().size(), 4); // the live chart's traces
    QVERIFY(lambdaPixels(chart) > 100);

    QTest::keyClick(chart, Qt::Key_Plus); // around the cursor at the start
    QCOMPARE(view.begin(), 0);
    QCOMPARE(view.span(), 490);
    QTest::keyClick(chart, Qt::Key_End); // the window follows the cursor
    QCOMPARE(view.cursor(), 980);
    QCOMPARE(view.end(), 980);
    QCOMPARE(valueOf(v, QStringLiteral("Lambda")), Rows[98].readings->lambdaVolts + QStringLiteral(" V"));
    QCOMPARE(valueOf(v, QStringLiteral("Czas")), QStringLiteral("0:00.98"));
    QTest::keyClick(chart, Qt::Key_PageUp); // the cursor keeps its place on screen
    QCOMPARE(view.end(), 980 - 441);
    QCOMPARE(view.cursor(), 980 - 441 - 9); // on the row before
    QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(view.end(), 980 - 441 + 49);
    QTest::keyClick(chart, Qt::Key_Minus);
    QCOMPARE(view.span(), 980);

    QTest::keyClick(chart, Qt::Key_Home);
    QTest::keyClick(chart, Qt::Key_Right);
    QCOMPARE(view.cursor(), 10);
    QTest::keyClick(chart, Qt::Key_N); // the frame cut short
    QCOMPARE(view.cursor(), 50);
    QCOMPARE(valueOf(v, QStringLiteral("Ramka cała")), QStringLiteral("nie"));
    QCOMPARE(valueOf(v, QStringLiteral("Lambda")), QStringLiteral("-"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(chart, Qt::Key_N);
    QCOMPARE(view.cursor(), 330); // the switch-over
    QCOMPARE(valueOf(v, QStringLiteral("Paliwo")), QStringLiteral("Gaz"));
    QTest::keyClick(chart, Qt::Key_Left);
    QCOMPARE(valueOf(v, QStringLiteral("Paliwo")), QStringLiteral("Benzyna"));
    QTest::keyClick(chart, Qt::Key_P);
    QCOMPARE(view.cursor(), 270);
    QTest::keyClick(chart, Qt::Key_Up);
    QTest::keyClick(chart, Qt::Key_0);
    QCOMPARE(view.span(), 980);

    // Tab to the values, Tab to the columns; Space unticks the lambda.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* columns = v.findChild<QListWidget*>(QStringLiteral("LogColumns"));
    QTRY_VERIFY(columns->hasFocus());
    QCOMPARE(columns->currentItem()->text(), QStringLiteral("Lambda"));
    QTest::keyClick(columns, Qt::Key_Space);
    QCOMPARE(v.tickedColumns().size(), 3);
    QCOMPARE(lambdaPixels(chart), 0);
    QTest::keyClick(columns, Qt::Key_Down);
    QTest::keyClick(columns, Qt::Key_Space); // the raw lambda byte, a column of its own
    QCOMPARE(chart->traces().size(), 4);
}

void TestLogViewer::mouse() {
    ShellModel shell;
    LogViewer v(shell);
    QVERIFY(v.openLog(path_));
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    LogChart* chart = v.chart();
    live::LogView& view = v.view();
    const QRect r = chart->plotRect();
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(r.left() + r.width() / 2, r.center().y()));
    QCOMPARE(view.cursor(), 490);
    QWheelEvent wheel(QPointF(r.left() + r.width() / 2, r.center().y()), chart->mapToGlobal(r.center()),
                      QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart, &wheel);
    QCOMPARE(view.span(), 784); // zoomed in a fifth, around the pointer
    QVERIFY(std::abs(view.begin() + view.span() / 2 - 490) <= 2);
    const qint64 begin = view.begin();
    QTest::mousePress(chart, Qt::LeftButton, {}, r.center());
    QTest::mouseMove(chart, r.center() + QPoint(r.width() / 8, 0));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, r.center() + QPoint(r.width() / 8, 0));
    QVERIFY(std::abs(view.begin() - (begin - 98)) <= 2); // dragged an eighth of 784 ms to the right
    QCOMPARE(view.cursor(), 490);                        // a drag is no click
}

void TestLogViewer::captionsFollowTheLanguage() {
    ShellModel shell;
    LogViewer v(shell);
    QVERIFY(v.openLog(path_));
    QCOMPARE(v.windowTitle(), QStringLiteral("drive.csv - Przeglądarka zapisów jazdy"));
    shell.texts().set(31200, QStringLiteral("Drive log viewer"));
    shell.texts().set(31207, QStringLiteral("Lambda probe"));
    shell.texts().set(31218, QStringLiteral("%1 - byte"));
    shell.textsReloaded();
    QCOMPARE(v.windowTitle(), QStringLiteral("drive.csv - Drive log viewer"));
    auto* columns = v.findChild<QListWidget*>(QStringLiteral("LogColumns"));
    QCOMPARE(columns->item(0)->text(), QStringLiteral("Lambda probe"));
    QCOMPARE(columns->item(1)->text(), QStringLiteral("Lambda probe - byte"));
    QCOMPARE(v.chart()->traces().front().name, QStringLiteral("Lambda probe"));
}

void TestLogViewer::fileWithoutLog() {
    ShellModel shell;
    LogViewer v(shell);
    QVERIFY(v.openLog(path_));
    const QString junk = dir_.filePath(QStringLiteral("notes.txt"));
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("nothing,to,see\nhere\n");
    f.close();
    QVERIFY(!v.openLog(junk));
    QVERIFY(v.view().empty());
    QVERIFY(v.chart()->traces().isEmpty());
    QVERIFY(v.statusBar()->currentMessage().contains(QStringLiteral("nie zawiera zapisu jazdy")));
    QVERIFY(!v.openLog(dir_.filePath(QStringLiteral("missing.csv"))));
    QVERIFY(v.statusBar()->currentMessage().startsWith(QStringLiteral("Nie można otworzyć zapisu")));
}

QTEST_MAIN(TestLogViewer)
#include "tst_logviewer.moc"
