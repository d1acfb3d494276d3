#pragma once
#include "core/FileTexts.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

namespace shell {

// The numbered-line text format shared by the language and skin files: a
// five-digit key in columns 1-5, one separator character, the value from
// column 7; "#" in column 1 marks a comment; lines end with CR LF.
struct NumberedLine {
    int number = 0;     // 1-based, counting every line of the file
    QByteArray content; // the line without its CR LF (or bare LF)
    bool isComment() const { return content.startsWith('#'); }
    QByteArray value() const { return content.mid(6); }
};

// At most this many characters in a line, its CR LF (or bare LF) not counted.
constexpr int MaxLineLength = 1000;
// Lines shorter than this (without their line end) cannot hold a key.
constexpr int MinLineLength = 5;
// Larger files are refused unread: language and skin files are a few kilobytes.
constexpr qint64 MaxNumberedFileSize = 1024 * 1024;

// The key of columns 1-5: decimal digits, leading blanks allowed.
std::optional<int> parseLineKey(QByteArrayView field);
// A skin value: decimal or "$" hexadecimal, optional sign, blanks around it
// ignored. Hexadecimal takes up to eight digits as a 32-bit pattern, so
// $FF00000F is negative like the platform's system colours.
std::optional<qint32> parseSkinValue(QByteArrayView text);

struct ReadOutcome {
    // Stopped: a value the caller could not read as a whole number.
    enum class Status { Complete, CannotOpen, NotRegular, TooLarge, LineTooLong, BadKey, Stopped };
    Status status = Status::Complete;
    int lineNumber = 0; // the line that stopped the file
    QString file;       // the file as the message names it
    QString detail;     // the system's reason it cannot be opened, or the text that is no number
    QString message;    // the built-in wording of outcomeMessage; empty when complete
    bool complete() const { return status == Status::Complete; }
};

namespace filetext {

// The text of t by lookup, the built-in wording where it gives none.
QString text(const Text& t, const std::function<QString(int key)>& lookup);
} // namespace filetext

// The message of a file that stopped, in the texts lookup gives by key (the
// built-in wording where it gives an empty text); empty when complete.
QString outcomeMessage(const ReadOutcome& outcome, const std::function<QString(int key)>& lookup = {});

struct LineHandlers {
    // A line too short to hold a key: the caller shows its bad-line message.
    std::function<void(int lineNumber)> shortLine;
    std::function<void(const NumberedLine&)> comment;
    // A line with a valid key. Returns the value text when it is not the whole
    // number the caller needs, which stops the file there; nothing to go on.
    std::function<std::optional<QString>(int key, const NumberedLine&)> keyed;
};

// Reads every line that ends in a line feed; text after the last line feed is
// ignored. A line ending in a bare LF reads exactly like the same line ending
// in CR LF. A comment line is a comment whatever its length. A too-long line
// or a bad key stops the file; the lines before it stay handled.
ReadOutcome readNumberedLines(QByteArrayView data, const QString& fileName, const LineHandlers& handlers);
// The same over a file; an unreadable file, one that is no regular file (a
// FIFO or a device would never end) or one larger than MaxNumberedFileSize
// stops before any line.
ReadOutcome readNumberedFile(const QString& path, const LineHandlers& handlers);
// The bytes of such a file into *data, with the same checks; complete when read.
ReadOutcome readNumberedFileBytes(const QString& path, QByteArray* data);

} // namespace shell
