#include "shell/SkinFile.h"

#include <QFileInfo>

namespace shell {
namespace {

LineHandlers collect(SkinFileContents& out) {
    LineHandlers h;
    h.shortLine = [&out](int number) { out.lines.append({SkinLine::Kind::Short, number, 0, 0}); };
    h.comment = [&out](const NumberedLine& l) {
        out.lines.append({SkinLine::Kind::Comment, l.number, 0, 0});
    };
    // The value is converted before the key is looked at: a bad value on an
    // unknown key stops the file too.
    h.keyed = [&out](int key, const NumberedLine& l) -> std::optional<QString> {
        const std::optional<qint32> v = parseSkinValue(l.value());
        if (!v) return QString::fromLatin1(l.value());
        out.lines.append({SkinLine::Kind::Value, l.number, key, *v});
        return std::nullopt;
    };
    return h;
}

} // namespace

SkinFileContents parseSkinFile(QByteArrayView data, const QString& fileName) {
    SkinFileContents out;
    out.fileName = QFileInfo(fileName).fileName();
    out.outcome = readNumberedLines(data, fileName, collect(out));
    return out;
}

SkinFileContents readSkinFile(const QString& path) {
    SkinFileContents out;
    out.fileName = QFileInfo(path).fileName();
    out.outcome = readNumberedFile(path, collect(out));
    return out;
}

} // namespace shell
