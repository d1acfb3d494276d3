// The help viewer against help files that would freeze or crash an HTML
// reader: huge files are refused unread, deeply nested ones are shown as
// plain text, and the same holds for a page a help file links to.
#include "shell/HelpText.h"
#include "shell/ui/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <sys/resource.h>
#include <sys/stat.h>

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void shapes_data();
    void shapes();
    void plainText();
    void hugeFileRefusedUnread();
    void costlyFilesShownAsPlainText();
    void linkedPagesAndPicturesHeldToTheLimits();
    void ordinaryFileAtTopic();
    void onlyTheFoldersOwnFilesLoad();

private:
    QString write(const QString& name, const QByteArray& data) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QByteArray nested(const QByteArray& tag, int depth, const QByteArray& inner) {
        return "<html><body>" + ("<" + tag + ">").repeated(depth) + inner +
               ("</" + tag + ">").repeated(depth) + "</body></html>";
    }
    QTemporaryDir dir_;
};

void TestHelpWindow::shapes_data() {
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("nesting");
    QTest::addColumn<int>("tables");
    QTest::addColumn<int>("cells");
    QTest::newRow("flat") << QByteArray("<p>a<p>b<br>c") << 0 << 0 << 0;
    QTest::newRow("lists and tables")
        << QByteArray("<ul><li>a<li><ol><li>b</ol></ul><table><tr><td><b>x</b><th>y</table>") << 2 << 1 << 2;
    QTest::newRow("void and self-closing") << QByteArray("<div><img src=a><hr/><span/></div>") << 1 << 0 << 0;
    QTest::newRow("comments and quotes")
        << QByteArray("<!-- <div><div> --><a title='>'><b>x</b></a>") << 2 << 0 << 0;
    QTest::newRow("stray end tags") << QByteArray("</div></table></div><i>x</i>") << 1 << 0 << 0;
    QTest::newRow("unclosed") << QByteArray("<div><div><div") << 3 << 0 << 0;
    QTest::newRow("nested tables") << QByteArray("<table><tr><td>").repeated(9) << 9 << 9 << 9;
    QTest::newRow("deep") << QByteArray("<DIV>").repeated(1000) << 1000 << 0 << 0;
}

void TestHelpWindow::shapes() {
    QFETCH(QByteArray, html);
    QFETCH(int, nesting);
    QFETCH(int, tables);
    QFETCH(int, cells);
    const shell::HtmlShape s = shell::htmlShape(html);
    QCOMPARE(s.nesting, nesting);
    QCOMPARE(s.tableNesting, tables);
    QCOMPARE(s.cells, cells);
    // Our own help files are laid out as they are.
    for (const char* f : {"quendrix_pl.html", "quendrix_en.html", "quendrix_ru.html"}) {
        QFile file(QString::fromLocal8Bit(qgetenv("QUENDRIX_SOURCE")) + QStringLiteral("/help/") + f);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(shell::htmlShape(file.readAll()).withinLimits());
    }
}

void TestHelpWindow::plainText() {
    const QString t = shell::htmlPlainText(
        "<html><head><style>p{}</style><script>x<y</script></head><body><h1>Pomoc</h1><p>A &amp; B &lt;C&gt;"
        "<br>dalej</p><ul><li>jeden<li>dwa</ul>\xc5\xbc\xc3\xb3\xc5\x82w</body></html>");
    QCOMPARE(t, QString::fromUtf8("Pomoc\nA & B <C>\ndalej\njeden\ndwa\nżółw"));
}

void TestHelpWindow::hugeFileRefusedUnread() {
    const QString path = dir_.filePath(QStringLiteral("huge.html"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write("<html><body><p>x") > 0);
    QVERIFY(f.resize(512LL * 1024 * 1024)); // sparse: no disk, but reading it would take long
    f.close();
    HelpWindow help;
    QVERIFY(!help.showTopic(path, QStringLiteral("IDH_210")));
    QVERIFY2(help.lastError().contains(QStringLiteral("za duży")), qPrintable(help.lastError()));
    QVERIFY(help.lastError().contains(path));
    QVERIFY(!help.isVisible());
    QVERIFY(help.browser()->toPlainText().isEmpty());
    QVERIFY(!help.showTopic(dir_.filePath(QStringLiteral("missing.html")), QStringLiteral("IDH_210")));
    QVERIFY(help.lastError().contains(QStringLiteral("Nie można otworzyć")));
}

// Each of these would keep the layout busy for minutes (or, for the nested
// tables, far longer); each is shown as plain text at once.
void TestHelpWindow::costlyFilesShownAsPlainText() {
    const QByteArray text = "<a name=\"IDH_210\"></a>Pomoc &amp; serwis";
    const std::pair<const char*, QByteArray> files[] = {
        {"deep-div", nested("div", 50000, text)},
        {"deep-inline", nested("b", 50000, text)},
        {"deep-lists", nested("ul", 50000, text)},
        {"nested-tables", QByteArray("<table><tr><td>a</td><td>").repeated(40) + text +
                              QByteArray("</td></tr></table>").repeated(40)},
        {"many-cells",
         "<table>" + QByteArray("<tr><td>abc</td><td>def</td></tr>").repeated(20000) + "</table>" + text},
    };
    for (const auto& [name, html] : files) {
        const QString path = write(QString::fromLatin1(name) + QStringLiteral(".html"), html);
        QVERIFY(QFileInfo(path).size() <= shell::MaxHelpFileSize);
        HelpWindow help;
        QVERIFY2(help.showTopic(path, QStringLiteral("IDH_210")), qPrintable(help.lastError()));
        QVERIFY(help.isVisible());
        QVERIFY2(help.browser()->toPlainText().contains(QStringLiteral("Pomoc & serwis")), name);
    }
    // Up to the limits the file is laid out as HTML.
    const QString fine = write(QStringLiteral("fine.html"),
                               nested("div", shell::MaxHelpNesting - 2, "<b>Pomoc</b>") +
                                   QByteArray("<table><tr><td>").repeated(shell::MaxHelpTableNesting) + "x");
    HelpWindow help;
    QVERIFY(help.showTopic(fine, QStringLiteral("IDH_210")));
    QVERIFY(help.browser()->toPlainText().startsWith(QStringLiteral("Pomoc")));
    QVERIFY(!help.browser()->toPlainText().contains(QStringLiteral("<b>")));
}

void TestHelpWindow::linkedPagesAndPicturesHeldToTheLimits() {
    const QString big = dir_.filePath(QStringLiteral("big.html"));
    {
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(shell::MaxHelpFileSize + 1));
    }
    const QString picture = dir_.filePath(QStringLiteral("big.png"));
    {
        QFile f(picture);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(shell::MaxHelpImageSize + 1));
    }
    write(QStringLiteral("deep.html"), nested("div", 5000, "Głęboko"));
    const QString start =
        write(QStringLiteral("start.html"),
              "<html><body><a name=\"IDH_210\"></a>Start<img src=\"big.png\"></body></html>");
    HelpWindow help;
    QVERIFY(help.showTopic(start, QStringLiteral("IDH_210")));
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("Start")));
    // A link followed from the help: the same limits.
    help.browser()->setSource(QUrl(QStringLiteral("big.html")));
    QVERIFY2(help.browser()->toPlainText().contains(QStringLiteral("za duży")),
             qPrintable(help.browser()->toPlainText()));
    help.browser()->setSource(QUrl::fromLocalFile(dir_.filePath(QStringLiteral("deep.html"))));
    QVERIFY(help.browser()->toPlainText().contains(QString::fromUtf8("Głęboko")));
}

void TestHelpWindow::ordinaryFileAtTopic() {
    const QString path =
        QString::fromLocal8Bit(qgetenv("QUENDRIX_SOURCE")) + QStringLiteral("/help/quendrix_pl.html");
    HelpWindow help;
    QVERIFY2(help.showTopic(path, QStringLiteral("IDH_210")), qPrintable(help.lastError()));
    QCOMPARE(help.browser()->source().fragment(), QStringLiteral("IDH_210"));
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("Autoadaptacja")));
    QVERIFY(!help.browser()->toPlainText().contains(QStringLiteral("<p>"))); // laid out, not plain
}

// A device, a FIFO, a link leading out and a path outside the help folder are
// never read: each page shows at once and the memory stays small.
void TestHelpWindow::onlyTheFoldersOwnFilesLoad() {
    write(QStringLiteral("secret.html"), "Sekret");
    QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("help"))));
    QVERIFY(QFile::link(dir_.filePath(QStringLiteral("secret.html")),
                        dir_.filePath(QStringLiteral("help/out.html"))));
    for (const char* fifo : {"help/fifo.png", "help/fifo.html"})
        QCOMPARE(::mkfifo(qPrintable(dir_.filePath(QString::fromLatin1(fifo))), 0600), 0);
    HelpWindow help;
    QVERIFY(help.showTopic(write(QStringLiteral("help/start.html"),
                                 "Start<img src=\"/dev/urandom\"><img src=fifo.png><img src='../secret.html'>"
                                 "<link rel=stylesheet href=/dev/zero>"),
                           QStringLiteral("IDH_210")));
    for (const char* page :
         {"fifo.html", "out.html", "../secret.html", "/dev/urandom", "http://example.com/"}) {
        help.browser()->setSource(QUrl(QString::fromLatin1(page)));
        QVERIFY2(help.browser()->toPlainText().startsWith(QStringLiteral("Nie można otworzyć")), page);
    }
    rusage use{};
    QVERIFY(getrusage(RUSAGE_SELF, &use) == 0 && use.ru_maxrss < 512 * 1024);
    QVERIFY(!help.showTopic(dir_.filePath(QStringLiteral("help/fifo.html")), QStringLiteral("IDH_210")));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
