#include "shell/LanguageFile.h"

#include "shell/Codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace shell {
namespace {

LineHandlers collect(LanguageFileContents& out, Charset cs) {
    LineHandlers h;
    h.shortLine = [&out](int number) { out.lines.append({LanguageLine::Kind::Short, number, 0, {}}); };
    h.comment = [&out](const NumberedLine& l) {
        out.lines.append({LanguageLine::Kind::Comment, l.number, 0, {}});
    };
    h.keyed = [&out, cs](int key, const NumberedLine& l) {
        out.lines.append({LanguageLine::Kind::Text, l.number, key, decode(cs, l.value())});
        return QString();
    };
    return h;
}

} // namespace

LanguageFileContents parseLanguageFile(QByteArrayView data, const QString& fileName) {
    LanguageFileContents out;
    const Charset cs = charsetForLanguageFile(QFileInfo(fileName).fileName());
    out.outcome = readNumberedLines(data, fileName, collect(out, cs));
    return out;
}

LanguageFileContents readLanguageFile(const QString& path) {
    LanguageFileContents out;
    const Charset cs = charsetForLanguageFile(QFileInfo(path).fileName());
    out.outcome = readNumberedFile(path, collect(out, cs));
    return out;
}

bool languageFilesPresent(const QString& folder) {
    const QDir dir(folder);
    return !dir.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

} // namespace shell
