#include "params/ParamFile.h"

#include "core/SystemTexts.h"

#include "params/AtomicFile.h"
#include "params/Encoding.h"
#include "params/ParamTable.h"

#include <QFile>

namespace {

// The file in order: a comment text, or a file number whose value line follows.
struct Line {
    const char* comment; // nullptr for a value line
    int key;
};
constexpr Line kLines[] = {
    {"#---rodzaj sondy lambda", 0},
    {nullptr, 100},
    {"#---prog sondy Lambda", 0},
    {nullptr, 101},
    {"#---prog obr B/G", 0},
    {nullptr, 102},
    {"#---Typ czujnika TPS", 0},
    {nullptr, 103},
    {"#---Prog czujnika TPS", 0},
    {nullptr, 104},
    {"#---Silnik krok pow TPS", 0},
    {nullptr, 105},
    {"#---Silnik krok pon TPS", 0},
    {nullptr, 106},
    {"#---Maksymalne obroty na gazie", 0},
    {nullptr, 107},
    {"#---Wylacz max. obroty", 0},
    {nullptr, 108},
    {"#---Rodzaj obrotow", 0},
    {nullptr, 109},
    {"#---Delta obrotow", 0},
    {nullptr, 110},
    {"#---Min. i Max. silnik krok.", 0},
    {nullptr, 111},
    {nullptr, 112},
    {"#Start pow.silnika krok.", 0},
    {nullptr, 113},
    {"#---Opoznienie startowe", 0},
    {nullptr, 114},
    {"#---Czas sondy Lambda", 0},
    {nullptr, 115},
    {nullptr, 116},
    {"#---Lambda - BOSCH", 0},
    {nullptr, 117},
    {"#---Wlaczenie cutoff", 0},
    {nullptr, 118},
    {"#---Silnik krokowy przy cutoff", 0},
    {nullptr, 119},
    {"#---Obroty silnika dla cutoff", 0},
    {nullptr, 120},
    {"#---Otwarcie silnika krokowego", 0},
    {nullptr, 121},
    {"#---Opoznienie przel. B/G", 0},
    {nullptr, 122},
    {"#---Tryb pracy sterownika", 0},
    {nullptr, 123},
    {"#---Typ szkielka rezerwy", 0},
    {nullptr, 124},
    {"#---Wlacz czujnik temperatury", 0},
    {nullptr, 126},
};

QString shownText(const ParamDef& d, const QString& text) {
    switch (d.kind) {
    case ParamDef::Choice:
        return QString::number(shownListIndex(d.id, text));
    case ParamDef::Flag:
        return shownChecked(text) ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return text;
    }
}

// A line as the message shows it: long lines are cut so the message stays readable.
QString quoted(const QString& text) {
    constexpr int Shown = 60;
    return QLatin1Char('"') + (text.size() > Shown ? text.left(Shown) + QStringLiteral("...") : text) +
           QLatin1Char('"');
}

QString loadError(const QString& path, int line, const QString& lineText, const QString& what) {
    return QStringLiteral("Cannot load \"%1\", line %2 %3: %4. Nothing was loaded.")
        .arg(path)
        .arg(line)
        .arg(quoted(lineText), what);
}

QString notInteger(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

} // namespace

QString fileErrorText() {
    return QString::fromUtf8("Błąd w pliku");
}

int shownListIndex(ParamId id, const QString& text) {
    const WholeNumber n = wholeNumber(text.trimmed());
    const qsizetype count = paramDef(id).items.size();
    return n.ok() && n.value >= 0 && n.value < count ? n.value : -1;
}

bool shownChecked(const QString& text) {
    return !text.isEmpty() && text != QLatin1String("0");
}

QStringList parameterFileLines(const ParameterSet& shown) {
    QStringList lines;
    for (const Line& l : kLines) {
        if (l.comment) {
            lines << QString::fromLatin1(l.comment);
            continue;
        }
        const ParamDef* d = paramByFileNo(l.key);
        lines << QString::number(l.key) + QLatin1Char(':') + shownText(*d, shown[d->id]);
    }
    return lines;
}

QByteArray parameterFileBytes(const ParameterSet& shown) {
    QByteArray bytes;
    for (const QString& line : parameterFileLines(shown))
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

bool saveParameterFile(const QString& path, const ParameterSet& shown, QString* error) {
    return writeFileAtomically(path, parameterFileBytes(shown), error);
}

ParamFileLoad parseParameterFile(const QByteArray& bytes, const QString& path) {
    ParamFileLoad result;
    result.contents.path = path;
    // A file with an error gives nothing to apply.
    using Problem = ParamFileLoad::Problem;
    auto fail = [&](Problem problem, const QString& message, int line = 0, const QString& lineText = {},
                    const QString& detail = {}) {
        result.error = message;
        result.problem = problem;
        result.line = line;
        result.lineText = lineText;
        result.detail = detail;
        result.contents.entries.clear();
        result.contents.shortLines.clear();
        return result;
    };
    if (bytes.size() > MaxParamFileSize)
        return fail(
            Problem::TooLarge,
            QStringLiteral("Cannot load \"%1\": the file is larger than %2 bytes. Nothing was loaded.")
                .arg(path)
                .arg(MaxParamFileSize));
    const QString text = QString::fromLatin1(bytes);
    int lineNo = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size(); // a last line without its line end counts too
        QString line = text.mid(start, end - start);
        start = end + 1;
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);

        if (line.size() > MaxFileLineLength)
            return fail(
                Problem::LineTooLong,
                loadError(path, lineNo, line,
                          QStringLiteral("the line is longer than %1 characters").arg(MaxFileLineLength)),
                lineNo, line);
        // Too short to hold a key and its separator: reported, and the load goes on.
        if (line.size() <= 2) {
            result.contents.shortLines.push_back(lineNo);
            continue;
        }
        if (line.startsWith(QLatin1Char('#'))) continue;

        const QString keyText = line.left(3);
        const WholeNumber key = wholeNumber(keyText);
        if (!key.ok())
            return fail(Problem::NotInteger, loadError(path, lineNo, line, notInteger(keyText)), lineNo, line,
                        keyText);
        const ParamDef* d = paramByFileNo(key.value);
        if (!d) continue; // 125, 099 and every other key carry nothing
        const QString value = line.mid(4);
        if ((d->kind == ParamDef::Choice || d->kind == ParamDef::Flag) && !wholeNumber(value).ok())
            return fail(Problem::NotInteger, loadError(path, lineNo, line, notInteger(value)), lineNo, line,
                        value);
        result.contents.entries.push_back({lineNo, key.value, value});
    }
    if (result.contents.entries.empty()) {
        result.noParameters = true;
        return fail(Problem::NoParameters,
                    QStringLiteral("Cannot load \"%1\": the file holds no parameters. Nothing was loaded.")
                        .arg(path));
    }
    result.ok = true;
    return result;
}

ParamFileLoad readParameterFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ParamFileLoad r;
        r.contents.path = path;
        r.error = QStringLiteral("Cannot load \"%1\": %2. Nothing was loaded.").arg(path, file.errorString());
        r.problem = ParamFileLoad::Problem::CannotOpen;
        r.detail = systemtext::fileReason(file, systemtext::Access::Read); // the window's words
        return r;
    }
    // One byte more than allowed tells an oversized file without reading all of it.
    const QByteArray bytes = file.read(MaxParamFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        ParamFileLoad r;
        r.contents.path = path;
        r.error = QStringLiteral("Cannot load \"%1\": %2. Nothing was loaded.").arg(path, file.errorString());
        r.problem = ParamFileLoad::Problem::CannotOpen;
        r.detail = systemtext::fileReason(file, systemtext::Access::Read); // the window's words
        return r;
    }
    return parseParameterFile(bytes, path);
}

ParamPageState pageStateFor(const ParameterSet& shown, bool temperatureCapable) {
    ParamPageState s;
    s.shown = shown;
    for (const ParamDef& d : paramTable())
        if (d.fileNo >= 0) s.shown[d.id] = shownText(d, shown[d.id]);
    s.rpmDeltaEnabled = shownListIndex(ParamId::RpmKind, shown[ParamId::RpmKind]) > 0;
    s.cutoffFieldsEnabled = shownChecked(shown[ParamId::CutoffOn]);
    s.temperatureCapable = temperatureCapable;
    s.temperatureReadout = temperatureCapable && shownChecked(shown[ParamId::TempSensorOn]);
    return s;
}

std::vector<CheckReaction> applyParameterFile(ParamPageState& state, const ParamFileContents& file) {
    std::vector<CheckReaction> reactions;
    ParameterSet& shown = state.shown;
    for (const ParamFileEntry& e : file.entries) {
        const ParamDef& d = *paramByFileNo(e.key);
        switch (d.kind) {
        case ParamDef::Choice:
            shown[d.id] = QString::number(shownListIndex(d.id, e.value));
            break;
        case ParamDef::Flag: {
            const int v = wholeNumber(e.value).value;
            if (v != 0 && v != 1) break; // neither checks nor clears the box
            const bool on = v == 1;
            if (shownChecked(shown[d.id]) == on) {
                shown[d.id] = on ? QStringLiteral("1") : QStringLiteral("0");
                break;
            }
            shown[d.id] = on ? QStringLiteral("1") : QStringLiteral("0");
            // The click reaction of the box.
            if (d.id == ParamId::LambdaBosch) {
                const QString t = on ? QStringLiteral("0") : QStringLiteral("500");
                shown[ParamId::LambdaLowTime] = t;
                shown[ParamId::LambdaHighTime] = t;
            } else if (d.id == ParamId::CutoffOn) {
                state.cutoffFieldsEnabled = on;
            } else if (d.id == ParamId::TempSensorOn) {
                state.temperatureReadout = on && state.temperatureCapable;
            }
            state.written = false;
            reactions.push_back({d.id, on});
            break;
        }
        default:
            shown[d.id] = e.value;
            break;
        }
    }
    state.rpmDeltaEnabled = shownListIndex(ParamId::RpmKind, shown[ParamId::RpmKind]) > 0;
    return reactions;
}
