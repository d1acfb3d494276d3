#pragma once
// Keyboard and comment facts of the parameters page without its widgets: the
// 27 entry controls in tab order, their caption labels, comments and list
// numbers, which label gives the focus to which control, and where the page
// keys go. The facts themselves are rows of the parameter table
// (params/ParamTable.h); this is the page's view of them.
#include "params/ParamTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace keyboard {

enum class ControlKind { Edit, List, Check };

using PanelRule = ::PanelRule;

struct EntryControl {
    QString control;
    ControlKind kind;
    int group;             // 1..6
    QStringList highlight; // caption labels highlighted while it has the focus
    int commentKey;        // language text of its comment, 0 for none
    QString comment;       // built-in comment
    PanelRule panel;
    int listNumber; // 1..5 for the five lists, 0 otherwise
    ParamId id;     // the parameter it shows
};

// The 27 entry controls in tab order (groups 1 to 6).
const std::vector<EntryControl>& entryControls();
const EntryControl* entryControl(const QString& control);
int entryIndex(const QString& control); // -1 when not an entry control

// The 26 caption labels that return to normal on every focus change.
const QStringList& captionLabels();

// Caption label -> control it gives the focus to (empty: no click action).
QString labelTarget(const QString& label);

// The buttons of the page in tab order; Enter on one of them runs its action.
const QStringList& pageButtons();

// Where a page key goes from an entry control. `order` is the whole tab order
// of the page (entry controls, then buttons and the rest); `canFocus` says
// whether a control takes the focus now (shown and enabled). Lists wrap:
// Page Up in ComboBox1 goes to ComboBox21 and Page Down in ComboBox21 to
// ComboBox1; other controls go to the next or previous control of `order`
// that can take the focus, wrapping at its ends. Returns an empty text when
// nothing can take the focus.
QString pageKeyTarget(const QString& from, bool down, const QStringList& order,
                      const std::function<bool(const QString&)>& canFocus);

} // namespace keyboard
