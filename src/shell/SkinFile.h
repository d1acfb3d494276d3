#pragma once
#include "shell/NumberedLines.h"

#include <QList>

namespace shell {

// One line of a skin file as the applier sees it, in file order.
struct SkinLine {
    enum class Kind { Comment, Value, Short };
    Kind kind = Kind::Value;
    int lineNumber = 0;
    int key = 0;      // Value only
    qint32 value = 0; // Value only
};

struct SkinFileContents {
    QList<SkinLine> lines; // every line read before the file ended or stopped
    ReadOutcome outcome;   // a value that is not a number stops the file too
    QString fileName;      // without its folder, for messages
};

SkinFileContents parseSkinFile(QByteArrayView data, const QString& fileName);
SkinFileContents readSkinFile(const QString& path);

} // namespace shell
