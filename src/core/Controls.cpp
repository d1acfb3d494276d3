#include "core/Controls.h"

#include <QHash>

namespace ctl {
namespace {

struct DesignRect {
    ControlId id;
    QRect rect;
};

constexpr DesignRect DesignRects[] = {
#define QX_RECT(n, x, y, w, h) {ControlId::n, QRect(x, y, w, h)},
#include "core/ControlRectRows.h"
};

constexpr QRect designOf(ControlId id) {
    for (const DesignRect& d : DesignRects)
        if (d.id == id) return d.rect;
    return QRect();
}

constexpr bool oneRectEach() {
    for (std::size_t i = 0; i < std::size(DesignRects); ++i)
        for (std::size_t j = i + 1; j < std::size(DesignRects); ++j)
            if (DesignRects[i].id == DesignRects[j].id) return false;
    return true;
}
static_assert(oneRectEach());

constexpr Row ControlRows[] = {
#define QX_CONTROL(n, kind, page, font, points, text, textKey, textCount, skin, skinKey)                     \
    {ControlId::n, #n,      Kind::kind, Page::page, FontRole::font, points,                                  \
     Text::text,   textKey, textCount,  Skin::skin, skinKey,        designOf(ControlId::n)},
#define QX_SKIN(...)
#include "core/ControlTableRows.h"
#undef QX_CONTROL
#undef QX_SKIN
};

// Rows are indexed by id: the enum and the array come from the same list.
constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < std::size(ControlRows); ++i)
        if (std::size_t(ControlRows[i].id) != i) return false;
    return true;
}
static_assert(inIdOrder());

} // namespace

const Row& row(ControlId id) {
    return ControlRows[std::size_t(id)];
}

QString name(ControlId id) {
    return QString::fromLatin1(row(id).name);
}

std::optional<ControlId> byName(const QString& objectName) {
    static const QHash<QString, ControlId> ids = [] {
        QHash<QString, ControlId> h;
        for (const Row& r : ControlRows)
            h.insert(QString::fromLatin1(r.name), r.id);
        return h;
    }();
    const auto it = ids.constFind(objectName);
    if (it == ids.constEnd()) return std::nullopt;
    return *it;
}

const QList<Row>& all() {
    static const QList<Row> rows(std::begin(ControlRows), std::end(ControlRows));
    return rows;
}

const QList<ExtraSkinKey>& extraSkinKeys() {
    static const QList<ExtraSkinKey> keys = {
#define QX_CONTROL(...)
#define QX_SKIN(n, property, key) {ControlId::n, SkinProperty::property, key},
#include "core/ControlTableRows.h"
#undef QX_CONTROL
#undef QX_SKIN
    };
    return keys;
}

} // namespace ctl
