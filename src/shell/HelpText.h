#pragma once
// Limits on the help files the help viewer shows. A help file comes from
// disk and may be anything; one that is huge or nested without end must not
// freeze the program or overflow the stack of the HTML reader.
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace shell {

// Larger help files (and pictures in them) are refused unread.
constexpr qint64 MaxHelpFileSize = 1024 * 1024;
constexpr qint64 MaxHelpImageSize = 4 * 1024 * 1024;
// An HTML help text beyond any of these limits is shown as plain text instead
// of being laid out: the layout's time grows with the nesting of elements,
// doubles with each level of nested tables and grows with the table cells.
constexpr int MaxHelpNesting = 64;
constexpr int MaxHelpTableNesting = 8;
constexpr int MaxHelpTableCells = 4000;

struct HtmlShape {
    int nesting = 0;      // deepest nesting of elements, without those that
                          // have no end tag or may leave it out (<br>, <p>, <li> ...)
    int tableNesting = 0; // deepest nesting of tables
    int cells = 0;        // table cells
    bool withinLimits() const {
        return nesting <= MaxHelpNesting && tableNesting <= MaxHelpTableNesting && cells <= MaxHelpTableCells;
    }
};
HtmlShape htmlShape(QByteArrayView html);

// The help folder's file a page or picture names, read within `limit`:
// only a regular file inside `folder` (a canonical path), reached through
// symbolic links or not, is read. A device such as /dev/urandom, a FIFO (its
// open would wait for a writer), a folder, a link leading out of the folder
// or a path outside it gives nullopt, as does a file that cannot be opened.
// *tooLarge tells a file refused for its size.
std::optional<QByteArray> readHelpResource(const QString& folder, const QString& path, qint64 limit,
                                           bool* tooLarge = nullptr);

// The text of an HTML document without its markup: tags dropped, block
// elements starting a new line, the common entities decoded, scripts and
// styles left out. Decoded as UTF-8.
QString htmlPlainText(QByteArrayView html);

} // namespace shell
