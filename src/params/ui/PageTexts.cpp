#include "params/ui/PageTexts.h"
#include "core/Controls.h"

#include "core/LanguageKeys.h"
#include "core/ShellModel.h"
#include "live/IgnitionPage.h"
#include "params/ParamTable.h"

#include <QHash>

using Id = ctl::ControlId;

namespace pagetexts {
namespace {

using shell::lang::TargetKind;

struct KeyIndex {
    QHash<QString, int> captions;
    QHash<QString, int> menuItems;
    QHash<QString, int> listItems; // "ComboBox1#3"
};

QString itemName(const QString& list, int item) {
    return list + QLatin1Char('#') + QString::number(item);
}

const KeyIndex& keys() {
    static const KeyIndex index = [] {
        KeyIndex k;
        // Ascending keys: a control filled by several keys takes the first.
        for (int key : shell::lang::allKeys())
            for (const shell::lang::Target& t : shell::lang::targets(key)) {
                if (t.kind == TargetKind::Caption && !k.captions.contains(t.objectName))
                    k.captions.insert(t.objectName, key);
                else if (t.kind == TargetKind::MenuItem && !k.menuItems.contains(t.objectName))
                    k.menuItems.insert(t.objectName, key);
                else if (t.kind == TargetKind::ComboItem)
                    k.listItems.insert(itemName(t.objectName, t.item), key);
            }
        return k;
    }();
    return index;
}

} // namespace

int captionKey(const QString& objectName) {
    return keys().captions.value(objectName);
}

int menuItemKey(const QString& objectName) {
    return keys().menuItems.value(objectName);
}

int listItemKey(const QString& list, int item) {
    return keys().listItems.value(itemName(list, item));
}

QString text(const ShellModel& shell, int key, const QString& fallback) {
    return key ? shell.text(key, fallback) : fallback;
}

SheetTexts sheetTexts(const ShellModel& shell) {
    SheetTexts t = SheetTexts::builtIn();
    t.title = text(shell, menuItemKey(ctl::name(Id::ParButton)), t.title);
    for (std::size_t i = 0; i < t.captions.size(); ++i)
        t.captions[i] = text(shell, captionKey(sheetRowDefs()[i].source), t.captions[i]);
    for (const ParamDef& d : paramTable()) {
        if (d.kind != ParamDef::Choice || d.listNumber == 0) continue;
        QStringList items = d.items;
        for (int i = 0; i < items.size(); ++i)
            items[i] = text(shell, listItemKey(d.control, i), items[i]);
        t.listItems.insert(d.id, items);
    }
    return t;
}

QString ignitionItem(const ShellModel& shell, int index) {
    const QStringList items = live::ignitionSystemItems();
    if (index < 0 || index >= items.size()) return {};
    return text(shell, listItemKey(ctl::name(Id::ComboBox2), index), items.at(index));
}

} // namespace pagetexts
