#include "shell/LanguageFile.h"

#include "shell/Codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace shell {
namespace {

LineHandlers collect(LanguageFileContents& out, Charset cs) {
    LineHandlers h;
    h.shortLine = [&out](int number) { out.lines.append({LanguageLine::Kind::Short, number, 0, {}}); };
    h.comment = [&out](const NumberedLine& l) {
        out.lines.append({LanguageLine::Kind::Comment, l.number, 0, {}});
    };
    h.keyed = [&out, cs](int key, const NumberedLine& l) -> std::optional<QString> {
        out.lines.append({LanguageLine::Kind::Text, l.number, key, decode(cs, l.value())});
        return std::nullopt;
    };
    return h;
}

LanguageFileContents parse(QByteArrayView data, const QString& fileName) {
    LanguageFileContents out;
    const Charset cs = charsetForLanguageFile(QFileInfo(fileName).fileName());
    if (!fitsCodePage(cs, data)) {
        out.problem = LanguageFileContents::Problem::NotCodePage;
        return out;
    }
    out.outcome = readNumberedLines(data, fileName, collect(out, cs));
    const bool anyText = std::any_of(out.lines.cbegin(), out.lines.cend(), [](const LanguageLine& l) {
        return l.kind == LanguageLine::Kind::Text;
    });
    if (out.outcome.complete() && !anyText) out.problem = LanguageFileContents::Problem::NoTexts;
    return out;
}

} // namespace

LanguageFileContents parseLanguageFile(QByteArrayView data, const QString& fileName) {
    return parse(data, fileName);
}

LanguageFileContents readLanguageFile(const QString& path) {
    QByteArray data;
    LanguageFileContents out;
    out.outcome = readNumberedFileBytes(path, &data);
    return out.outcome.complete() ? parse(data, path) : out;
}

bool languageFilesPresent(const QString& folder) {
    const QDir dir(folder);
    return !dir.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

} // namespace shell
