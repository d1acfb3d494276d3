// Language and skin files as anyone may write them, through the shared line
// reader: every line reaches its handler or stops the file, never more.
#include "FuzzInput.h"
#include "shell/LanguageFile.h"
#include "shell/NumberedLines.h"
#include "shell/SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int which = in.pick(4);
    const QByteArray file = in.rest();
    switch (which) {
    case 0: {
        int lines = 0;
        shell::LineHandlers h;
        h.shortLine = [&](int) { ++lines; };
        h.comment = [&](const shell::NumberedLine& l) {
            if (!l.isComment()) __builtin_trap();
            ++lines;
        };
        h.keyed = [&](int key, const shell::NumberedLine& l) {
            if (key < 0 || key > 99999 || l.content.size() > shell::MaxLineLength) __builtin_trap();
            ++lines;
            return l.value().startsWith('!') ? QStringLiteral("stop") : QString();
        };
        const shell::ReadOutcome r = shell::readNumberedLines(file, QStringLiteral("fuzz.lng"), h);
        if (lines > file.count('\n')) __builtin_trap();
        (void)r;
        break;
    }
    case 1:
        // A file in another code page keeps no line: shown, it would be gibberish.
        for (const QString& name : {QStringLiteral("polish.lng"), QStringLiteral("russian.lng")}) {
            const shell::LanguageFileContents c = shell::parseLanguageFile(file, name);
            if (c.problem == shell::LanguageFileContents::Problem::NotCodePage && !c.lines.isEmpty())
                __builtin_trap();
        }
        break;
    case 2:
        (void)shell::parseSkinFile(file, QStringLiteral("default.skr"));
        break;
    case 3:
        (void)shell::parseSkinValue(file);
        (void)shell::parseLineKey(file.left(5));
        break;
    }
    return 0;
}
