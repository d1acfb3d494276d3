#include "core/LanguageKeys.h"
#include "core/LanguageTexts.h"
#include "core/SystemTexts.h"
#include "shell/Codepage.h"
#include "shell/LanguageFile.h"
#include "shell/NumberedLines.h"
#include "shell/SkinFile.h"
#include "shell/SkinKeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace shell;

namespace {

QString source(const QString& relative) {
    return QDir(qEnvironmentVariable("QUENDRIX_SOURCE", QStringLiteral("."))).filePath(relative);
}

// What the reader reports, as one string per event: "K:12345=text", "#", "short".
struct Trace {
    QStringList events;
    ReadOutcome outcome;
};

Trace trace(const QByteArray& data) {
    Trace t;
    LineHandlers h;
    h.shortLine = [&](int n) { t.events << QStringLiteral("short@%1").arg(n); };
    h.comment = [&](const NumberedLine& l) { t.events << QStringLiteral("#@%1").arg(l.number); };
    h.keyed = [&](int key, const NumberedLine& l) -> std::optional<QString> {
        t.events << QStringLiteral("%1=%2").arg(key).arg(QString::fromLatin1(l.value()));
        return std::nullopt;
    };
    t.outcome = readNumberedLines(data, QStringLiteral("test.lng"), h);
    return t;
}

} // namespace

class TestTextFiles : public QObject {
    Q_OBJECT
private slots:
    void lineReader_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("stopLine"); // 0: read to the end

        QTest::newRow("Exit with CR LF") << QByteArray("10107 Exit\r\n") << QStringList{"10107=Exit"} << 0;
        // A bare line feed reads like CR LF (no character is lost).
        QTest::newRow("Exit with bare LF") << QByteArray("10107 Exit\n") << QStringList{"10107=Exit"} << 0;
        QTest::newRow("empty line, then a line")
            << QByteArray("\r\n10107 Exit\r\n") << QStringList{"short@1", "10107=Exit"} << 0;
        QTest::newRow("four characters")
            << QByteArray("1010\r\n10108 x\r\n") << QStringList{"short@1", "10108=x"} << 0;
        QTest::newRow("key alone") << QByteArray("10107\r\n") << QStringList{"10107="} << 0;
        QTest::newRow("key and separator") << QByteArray("10107 \r\n") << QStringList{"10107="} << 0;
        QTest::newRow("comment") << QByteArray("# a comment line\r\n#\r\n10107 E\r\n")
                                 << QStringList{"#@1", "#@2", "10107=E"} << 0;
        QTest::newRow("last line without LF")
            << QByteArray("10107 Exit\r\n10108 About") << QStringList{"10107=Exit"} << 0;
        QTest::newRow("any separator, text kept as is")
            << QByteArray("10107:  two  spaces \r\n") << QStringList{"10107=  two  spaces "} << 0;
        QTest::newRow("bad key stops the file")
            << QByteArray("10107 Exit\r\n1O108 About\r\n10106 Help\r\n") << QStringList{"10107=Exit"} << 2;
        // The buffer holds 1000 characters; the line end is not counted.
        for (const char* end : {"\r\n", "\n"})
            QTest::addRow("1000 characters, %s", end[0] == '\r' ? "CR LF" : "LF")
                << "10107 " + QByteArray(994, 'x') + end << QStringList{"10107=" + QString(994, 'x')} << 0;
        QByteArray tooLong = "10108 ok\r\n10107 " + QByteArray(995, 'x') + "\r\n10106 Help\r\n";
        QTest::newRow("1001 characters stops the file") << tooLong << QStringList{"10108=ok"} << 2;
    }

    void lineReader() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, events);
        QFETCH(int, stopLine);
        const Trace t = trace(data);
        QCOMPARE(t.events, events);
        QCOMPARE(t.outcome.complete(), stopLine == 0);
        QCOMPARE(t.outcome.lineNumber, stopLine);
        if (stopLine) {
            // The message names the file and the line.
            QVERIFY2(t.outcome.message.contains(QStringLiteral("test.lng")), qPrintable(t.outcome.message));
            QVERIFY2(t.outcome.message.contains(QStringLiteral("wiersz %1").arg(stopLine)),
                     qPrintable(t.outcome.message));
            // In the language of the window, by the file texts' keys.
            const QString english = outcomeMessage(t.outcome, [](int key) {
                return key == filetext::AtLine.key ? QStringLiteral("%1, line %2: %3") : QString();
            });
            QVERIFY2(english.startsWith(QStringLiteral("test.lng, line %1: ").arg(stopLine)),
                     qPrintable(english));
        }
    }

    void unreadableFileStops() {
        const LanguageFileContents c = readLanguageFile(QStringLiteral("/nonexistent/polish.lng"));
        QVERIFY(c.lines.isEmpty());
        QCOMPARE(c.outcome.status, ReadOutcome::Status::CannotOpen);
        QVERIFY(c.outcome.message.contains(QStringLiteral("/nonexistent/polish.lng")));
        QVERIFY(!readSkinFile(QStringLiteral("/nonexistent/default.skr")).outcome.complete());

        // A file far larger than any language file is refused before a line is read.
        QTemporaryDir dir;
        const QString huge = dir.filePath(QStringLiteral("polish.lng"));
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write("10107 Exit\r\n") > 0);
        QVERIFY(f.resize(MaxNumberedFileSize + 1));
        f.close();
        const LanguageFileContents big = readLanguageFile(huge);
        QVERIFY(big.lines.isEmpty());
        QCOMPARE(big.outcome.status, ReadOutcome::Status::TooLarge);
        QVERIFY(big.outcome.message.contains(huge));
        QCOMPARE(readSkinFile(huge).outcome.status, ReadOutcome::Status::TooLarge);
    }

    void codePages() {
        // Every letter of both alphabets survives a round trip through its code page.
        const QString polish = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
        const QString czech = QStringLiteral("ěščřžýáíéúůňťďĚŠČŘŽÝÁÍÉÚŮŇŤĎ");
        const QString russian =
            QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
        QCOMPARE(decode(Charset::Cp1250, encode(Charset::Cp1250, polish + czech)), polish + czech);
        QCOMPARE(decode(Charset::Cp1251, encode(Charset::Cp1251, russian)), russian);
        QCOMPARE(encode(Charset::Cp1250, polish).size(), polish.size()); // single bytes
        // Known positions of the two tables.
        QCOMPARE(decode(Charset::Cp1250, "\xB9\xEA\xA3\x8C\x9F"), QStringLiteral("ąęŁŚź"));
        QCOMPARE(decode(Charset::Cp1251, "\xC0\xFF\xA8\xB8"), QStringLiteral("АяЁё"));
        QCOMPARE(encode(Charset::Cp1251, QStringLiteral("Ж€ą")), QByteArray("\xC6\x88?"));
        QCOMPARE(charsetForLanguageFile(QStringLiteral("russian.lng")), Charset::Cp1251);
        for (const char* name : {"polish.lng", "english.lng", "czech.lng", "italiano.lng", "other.lng"})
            QCOMPARE(charsetForLanguageFile(QString::fromLatin1(name)), Charset::Cp1250);
    }

    void languageFilesHoldEveryKey_data() {
        QTest::addColumn<QString>("file");
        for (const lang::LanguageChoice& c : lang::languageChoices())
            QTest::newRow(c.file) << QString::fromLatin1(c.file);
    }

    void languageFilesHoldEveryKey() {
        QFETCH(QString, file);
        const LanguageFileContents c = readLanguageFile(source(QStringLiteral("lang/") + file));
        QVERIFY2(c.outcome.complete(), qPrintable(c.outcome.message));
        QSet<int> keys;
        for (const LanguageLine& l : c.lines) {
            QVERIFY2(l.kind != LanguageLine::Kind::Short,
                     qPrintable(QStringLiteral("short line %1").arg(l.lineNumber)));
            if (l.kind != LanguageLine::Kind::Text) continue;
            QVERIFY2(!keys.contains(l.key), qPrintable(QStringLiteral("key %1 twice").arg(l.key)));
            QVERIFY2(!l.text.trimmed().isEmpty(), qPrintable(QStringLiteral("key %1 empty").arg(l.key)));
            QVERIFY2(!lang::targets(l.key).isEmpty(),
                     qPrintable(QStringLiteral("key %1 unknown").arg(l.key)));
            keys.insert(l.key);
        }
        for (int key : lang::allKeys())
            QVERIFY2(keys.contains(key), qPrintable(QStringLiteral("key %1 missing").arg(key)));
        // Every line ends in CR LF.
        QFile f(source(QStringLiteral("lang/") + file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray raw = f.readAll();
        QVERIFY(raw.endsWith("\r\n"));
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
    }

    void languageFilesDecodeToTheirAlphabets() {
        auto textOf = [](const QString& file, int key) {
            const LanguageFileContents c = readLanguageFile(source(QStringLiteral("lang/") + file));
            for (const LanguageLine& l : c.lines)
                if (l.kind == LanguageLine::Kind::Text && l.key == key) return l.text;
            return QString();
        };
        // Polish: the design-language texts, with their Polish letters.
        QCOMPARE(textOf(QStringLiteral("polish.lng"), 10201), QStringLiteral("Język"));
        QCOMPARE(textOf(QStringLiteral("polish.lng"), 10404), QStringLiteral("Zamknięty"));
        QCOMPARE(textOf(QStringLiteral("polish.lng"), 31000),
                 QStringLiteral("Nie odczytano parametrów - brak odpowiedzi sterownika"));
        const QString russian = textOf(QStringLiteral("russian.lng"), 10107);
        QVERIFY(!russian.isEmpty());
        for (QChar ch : russian)
            QVERIFY2(ch.script() == QChar::Script_Cyrillic, qPrintable(russian));
        QVERIFY(textOf(QStringLiteral("czech.lng"), 10104).contains(QChar(0x010D))); // č
    }

    // The texts no model reaches follow the language loaded, whatever its code page, and
    // the built-in Polish comes back with the built-in texts.
    void systemTextsFollowTheLoadedLanguage() {
        const struct {
            const char* file;
            systemtext::Text text;
            const char* expected;
        } rows[] = {
            {"russian.lng", systemtext::AlreadyRunning, "Программа уже запущена."},
            {"english.lng", systemtext::BlockLineFault, "\"%1\", line %2: %3"},
            {"czech.lng", systemtext::DemoTitle, "Simulovaný automobil (demo)"},
            {"italiano.lng", systemtext::Ignition5, "5 cilindri"},
            {"english.lng", systemtext::MarkHeld, "the controller holds %1; %2"},
            {"russian.lng", systemtext::ReedContact, "геркон"},
            {"russian.lng", systemtext::AutoStoppedPoint,
             "Автоадаптация прервана: настройки до автоадаптации"},
        };
        for (const auto& r : rows) {
            LanguageTexts texts;
            for (const LanguageLine& l : readLanguageFile(source(QStringLiteral("lang/") + r.file)).lines)
                if (l.kind == LanguageLine::Kind::Text) texts.set(l.key, l.text);
            systemtext::use(texts);
            QCOMPARE(systemtext::text(r.text), QString::fromUtf8(r.expected));
        }
        systemtext::use(LanguageTexts());
        QCOMPARE(systemtext::text(systemtext::DemoOnGas), QStringLiteral("gaz"));
    }

    void skinValues_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << QByteArray("255") << true << 255;
        QTest::newRow("hex red") << QByteArray("$0000FF") << true << 255;
        QTest::newRow("hex lower") << QByteArray("$00ff00") << true << 0xFF00;
        QTest::newRow("negative decimal") << QByteArray("-16777201") << true << -16777201;
        QTest::newRow("system colour pattern") << QByteArray("$FF00000F") << true << -16777201;
        QTest::newRow("old system colour pattern") << QByteArray("$8000000F") << true << int(0x8000000Fu);
        QTest::newRow("negative hex") << QByteArray("-$10") << true << -16;
        QTest::newRow("blanks around") << QByteArray(" 12 ") << true << 12;
        QTest::newRow("empty") << QByteArray("") << false << 0;
        QTest::newRow("letters") << QByteArray("red") << false << 0;
        QTest::newRow("nine hex digits") << QByteArray("$123456789") << false << 0;
        QTest::newRow("too big") << QByteArray("2147483648") << false << 0;
        QTest::newRow("most negative") << QByteArray("-2147483648") << true << int(0x80000000u);
    }

    void skinValues() {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<qint32> v = parseSkinValue(text);
        QCOMPARE(v.has_value(), ok);
        if (ok) QCOMPARE(*v, value);
    }

    void skinReader() {
        // A value that is not a number stops the file even on a key that sets nothing.
        const SkinFileContents c = parseSkinFile(
            "10000 0\r\n# c\r\n17101 $0000FF\r\n123\r\n99999 1\r\n10001 blue\r\n10002 5\r\n", "t.skr");
        QCOMPARE(c.outcome.lineNumber, 6);
        QCOMPARE(c.lines.size(), 5);
        QCOMPARE(c.lines[0].value, 0);
        QCOMPARE(c.lines[1].kind, SkinLine::Kind::Comment);
        QCOMPARE(c.lines[2].key, 17101);
        QCOMPARE(c.lines[2].value, 255);
        QCOMPARE(c.lines[3].kind, SkinLine::Kind::Short);
        QCOMPARE(c.lines[4].key, 99999);

        const skin::Colour red = skin::colour(255);
        QVERIFY(!red.system);
        QCOMPARE(red.bgr, 0xFFu);
        const skin::Colour face = skin::colour(-16777201);
        QVERIFY(face.system);
        QCOMPARE(face.systemIndex, 15);
    }

    void skinTable() {
        QCOMPARE(skin::allKeys().size(), 377);
        // One key, six labels.
        QCOMPARE(skin::targets(19109).size(), 6);
        // Label52 has two keys.
        QCOMPARE(skin::targets(18227).front().objectName, QStringLiteral("Label52"));
        QCOMPARE(skin::targets(18229).front().objectName, QStringLiteral("Label52"));
        QVERIFY(skin::targets(10001).front().property == skin::Property::GradFrom);
        QVERIFY(skin::targets(17101).front().property == skin::Property::ButtonBack);
        QVERIFY(skin::targets(12300).isEmpty());
    }

    void skinFilesHoldEveryKey_data() {
        QTest::addColumn<QString>("file");
        for (const skin::SkinChoice& c : skin::skinChoices())
            QTest::newRow(c.file) << QString::fromLatin1(c.file);
    }

    void skinFilesHoldEveryKey() {
        QFETCH(QString, file);
        const SkinFileContents c = readSkinFile(source(QStringLiteral("skins/") + file));
        QVERIFY2(c.outcome.complete(), qPrintable(c.outcome.message));
        QSet<int> keys;
        for (const SkinLine& l : c.lines) {
            QVERIFY(l.kind != SkinLine::Kind::Short);
            if (l.kind != SkinLine::Kind::Value) continue;
            QVERIFY2(!skin::targets(l.key).isEmpty(),
                     qPrintable(QStringLiteral("key %1 unknown").arg(l.key)));
            keys.insert(l.key);
            // Gradients stay shown: the panels hold the pages' controls.
            if (skin::targets(l.key).front().property == skin::Property::Visible) QCOMPARE(l.value, 1);
        }
        QCOMPARE(keys.size(), 377);
    }

    void languageTable() {
        // Keys with several targets.
        QCOMPARE(lang::targets(11210).size(), 7);
        const QList<lang::Target> print = lang::targets(10700);
        QCOMPARE(print.size(), 2);
        QVERIFY(print[0].kind == lang::TargetKind::TabCaption && print[1].kind == lang::TargetKind::MenuItem);
        QCOMPARE(lang::targets(10401).size(), 2);
        QVERIFY(lang::targets(10405)[0].kind == lang::TargetKind::MeterCaption);
        QVERIFY(lang::targets(10101).isEmpty());
        QVERIFY(lang::targets(10320).isEmpty());
        QCOMPARE(lang::helpFileFor(QStringLiteral("czech.lng")), QStringLiteral("help/quendrix_en.html"));
        QCOMPARE(lang::helpFileFor(QStringLiteral("russian.lng")), QStringLiteral("help/quendrix_ru.html"));
        QVERIFY(lang::helpFileFor(QStringLiteral("x.lng")).isEmpty());
        QVERIFY(languageFilesPresent(source(QStringLiteral("lang"))));
        QVERIFY(!languageFilesPresent(source(QStringLiteral("skins"))));
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
