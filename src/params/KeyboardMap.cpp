#include "params/KeyboardMap.h"
#include "core/Controls.h"

using Id = ctl::ControlId;

namespace keyboard {

namespace {
ControlKind kindOf(const ParamDef& d) {
    switch (d.kind) {
    case ParamDef::Choice:
        return ControlKind::List;
    case ParamDef::Flag:
        return ControlKind::Check;
    case ParamDef::Number:
    case ParamDef::Volts:
        break;
    }
    return ControlKind::Edit;
}
} // namespace

const std::vector<EntryControl>& entryControls() {
    static const std::vector<EntryControl> controls = [] {
        std::vector<EntryControl> out;
        for (ParamId id : pageTabOrder()) {
            const ParamDef& d = paramDef(id);
            QStringList highlight;
            for (const CaptionLabel& l : d.labels)
                highlight << l.name;
            out.push_back({d.control, kindOf(d), d.group, highlight, d.commentKey, d.comment, d.panel,
                           d.listNumber, id});
        }
        return out;
    }();
    return controls;
}

int entryIndex(const QString& control) {
    const auto& all = entryControls();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].control == control) return static_cast<int>(i);
    return -1;
}

const EntryControl* entryControl(const QString& control) {
    const int i = entryIndex(control);
    return i < 0 ? nullptr : &entryControls()[static_cast<std::size_t>(i)];
}

const QStringList& captionLabels() {
    static const QStringList labels = [] {
        QStringList out;
        for (const PageLabel& l : pageLabels())
            out << l.label.name;
        return out;
    }();
    return labels;
}

QString labelTarget(const QString& label) {
    for (const PageLabel& l : pageLabels())
        if (l.label.name == label) return l.label.givesFocus ? paramDef(l.target).control : QString();
    return {};
}

const QStringList& pageButtons() {
    static const QStringList buttons = {ctl::name(Id::ResButt), ctl::name(Id::ZapButPic),
                                        ctl::name(Id::odczButPic), ctl::name(Id::OdczytButtPlik),
                                        ctl::name(Id::ZapiszButtPlik)};
    return buttons;
}

QString pageKeyTarget(const QString& from, bool down, const QStringList& order,
                      const std::function<bool(const QString&)>& canFocus) {
    const EntryControl* e = entryControl(from);
    if (e && e->kind == ControlKind::List) {
        const QString wrapTo = down && from == ctl::name(Id::ComboBox21)   ? ctl::name(Id::ComboBox1)
                               : !down && from == ctl::name(Id::ComboBox1) ? ctl::name(Id::ComboBox21)
                                                                           : QString();
        if (!wrapTo.isEmpty() && canFocus(wrapTo)) return wrapTo;
    }
    const int n = static_cast<int>(order.size());
    const int start = order.indexOf(from);
    if (n == 0) return {};
    for (int step = 1; step <= n; ++step) {
        const int i =
            start < 0 ? (down ? step - 1 : n - step) : ((start + (down ? step : -step)) % n + n) % n;
        const QString& c = order[i];
        if (c != from && canFocus(c)) return c;
    }
    return {};
}

} // namespace keyboard
