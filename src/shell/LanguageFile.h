#pragma once
#include "shell/NumberedLines.h"

#include <QList>
#include <QString>

namespace shell {

// One line of a language file as the applier sees it, in file order.
struct LanguageLine {
    enum class Kind { Comment, Text, Short };
    Kind kind = Kind::Text;
    int lineNumber = 0;
    int key = 0;  // Text only
    QString text; // Text only, decoded to Unicode
};

struct LanguageFileContents {
    QList<LanguageLine> lines; // every line read before the file ended or stopped
    ReadOutcome outcome;
    // Read whole, yet nothing to apply; said to the fitter rather than ignored.
    enum class Problem {
        None,
        NotCodePage, // not text of its code page (UTF-8, say): no line is kept
        NoTexts,     // empty, only comments, or no line end at all
    };
    Problem problem = Problem::None;
};

// Decodes by the file name: russian.lng in Windows-1251, any other in
// Windows-1250. A file that is no text of that code page (shell::fitsCodePage)
// keeps no line: shown, it would be gibberish.
LanguageFileContents parseLanguageFile(QByteArrayView data, const QString& fileName);
LanguageFileContents readLanguageFile(const QString& path);

// True when the folder holds at least one "*.lng" file.
bool languageFilesPresent(const QString& folder);

} // namespace shell
