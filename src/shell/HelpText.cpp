#include "shell/HelpText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace shell {

namespace {

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':';
}

// The tag at `pos` (just after "<"): its lower-case name, whether it closes,
// whether it closes itself ("/>"), and where it ends (just after ">").
struct Tag {
    QByteArray name;
    bool closing = false;
    bool selfClosing = false;
    qsizetype end = 0;
};

Tag readTag(QByteArrayView html, qsizetype pos) {
    Tag t;
    qsizetype i = pos;
    if (i < html.size() && html[i] == '/') {
        t.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < html.size() && isNameChar(html[i]))
        ++i;
    t.name = html.sliced(nameStart, i - nameStart).toByteArray().toLower();
    // Attribute values may hold ">": skip quoted text.
    char quote = 0;
    for (; i < html.size(); ++i) {
        const char c = html[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            t.selfClosing = i > pos && html[i - 1] == '/';
            t.end = i + 1;
            return t;
        }
    }
    t.end = html.size();
    return t;
}

// Skips "<!-- ... -->", "<!DOCTYPE ...>" and "<? ... >" at `pos` (at "<");
// returns where the text goes on, or -1 when there is no such construct.
qsizetype skipDeclaration(QByteArrayView html, qsizetype pos) {
    if (html.sliced(pos).startsWith("<!--")) {
        const qsizetype e = html.indexOf("-->", pos + 4);
        return e < 0 ? html.size() : e + 3;
    }
    if (pos + 1 < html.size() && (html[pos + 1] == '!' || html[pos + 1] == '?')) {
        const qsizetype e = html.indexOf('>', pos);
        return e < 0 ? html.size() : e + 1;
    }
    return -1;
}

bool oneOf(const QByteArray& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

// Elements with no end tag, or whose end tag may be left out: they do not nest.
bool nests(const QByteArray& name) {
    return !name.isEmpty() &&
           !oneOf(name,
                  {"area",  "base",   "br",    "col",   "embed", "hr",       "img",  "input", "link", "meta",
                   "param", "source", "track", "wbr",   "p",     "li",       "dt",   "dd",    "tr",   "td",
                   "th",    "option", "thead", "tbody", "tfoot", "colgroup", "html", "head",  "body"});
}

bool startsLine(const QByteArray& name) {
    return oneOf(name, {"p",     "br", "div", "li", "tr", "h1", "h2",  "h3",         "h4", "h5",   "h6",
                        "table", "ul", "ol",  "dl", "dt", "dd", "pre", "blockquote", "hr", "title"});
}

} // namespace

HtmlShape htmlShape(QByteArrayView html) {
    HtmlShape shape;
    int depth = 0;
    int tables = 0;
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf('<', i);
        if (lt < 0) break;
        if (const qsizetype after = skipDeclaration(html, lt); after >= 0) {
            i = after;
            continue;
        }
        const Tag t = readTag(html, lt + 1);
        i = t.end;
        if (!t.closing && (t.name == "td" || t.name == "th")) ++shape.cells;
        if (t.name == "table" && !t.selfClosing) {
            if (t.closing)
                tables = std::max(0, tables - 1);
            else
                shape.tableNesting = std::max(shape.tableNesting, ++tables);
        }
        if (!nests(t.name) || t.selfClosing) continue;
        if (t.closing)
            depth = std::max(0, depth - 1);
        else
            shape.nesting = std::max(shape.nesting, ++depth);
    }
    return shape;
}

std::optional<QByteArray> readHelpResource(const QString& folder, const QString& path, qint64 limit,
                                           bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    // The file a chain of links ends at; empty when it does not exist.
    const QString target = QFileInfo(path).canonicalFilePath();
    if (folder.isEmpty() || target.isEmpty() || !target.startsWith(folder + QLatin1Char('/')) ||
        !QFileInfo(target).isFile())
        return std::nullopt;
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) return std::nullopt;
    // Read no more than the limit: the file may grow while it is read.
    const QByteArray data = file.size() > limit ? QByteArray() : file.read(limit + 1);
    if (file.size() > limit || data.size() > limit) {
        if (tooLarge) *tooLarge = true;
        return std::nullopt;
    }
    return data;
}

QString htmlPlainText(QByteArrayView html) {
    const QByteArray lower = html.toByteArray().toLower();
    QByteArray out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf('<', i);
        const qsizetype textEnd = lt < 0 ? html.size() : lt;
        out.append(html.sliced(i, textEnd - i));
        if (lt < 0) break;
        if (const qsizetype after = skipDeclaration(html, lt); after >= 0) {
            i = after;
            continue;
        }
        const Tag t = readTag(html, lt + 1);
        i = t.end;
        if (!t.closing && !t.selfClosing && oneOf(t.name, {"script", "style"})) {
            // Their content is no markup: it ends at the first end tag.
            const qsizetype end = lower.indexOf("</" + t.name, i);
            if (end < 0) break;
            i = readTag(html, end + 1).end;
            continue;
        }
        if (startsLine(t.name) && !out.endsWith('\n') && !out.isEmpty()) out.append('\n');
    }
    QString text = QStringDecoder(QStringDecoder::Utf8).decode(out);
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&apos;", "'"}, {"&nbsp;", " "}};
    for (const auto& [entity, ch] : entities)
        text.replace(QLatin1String(entity), QLatin1String(ch));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace shell
