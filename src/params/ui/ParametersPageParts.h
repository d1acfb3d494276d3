#pragma once
// What the parts of the parameters page (ParametersPage*.cpp) share.
#include "core/Controls.h"
#include "params/KeyboardMap.h"
#include "params/ParamTable.h"

#include <QFont>
#include <QWidget>

namespace parametrypage {

using keyboard::ControlKind;

// The entry controls in tab order with the parameter each shows.
inline const std::vector<ParamId>& bindings() {
    return pageTabOrder();
}

inline QString controlOf(ParamId id) {
    return paramDef(id).control;
}

inline QString listName(int number) {
    for (const keyboard::EntryControl& e : keyboard::entryControls())
        if (e.listNumber == number) return e.control;
    return {};
}

inline bool flagOn(const QString& text) {
    return !text.isEmpty() && text != QLatin1String("0");
}

inline void setPointSize(QWidget* w, int size) {
    QFont f = w->font();
    if (f.pointSize() == size) return;
    f.setPointSize(size);
    w->setFont(f);
}

// Caption labels of check boxes: the check-box label font of the layout.
inline bool isCheckLabel(const QString& name) {
    using ctl::ControlId;
    return name == ctl::name(ControlId::CheckBox8_2_label) ||
           name == ctl::name(ControlId::CheckBox13_3_Label) ||
           name == ctl::name(ControlId::checkbox22_2_label) || name == ctl::name(ControlId::CheckBox15_Label);
}

} // namespace parametrypage
