#pragma once
// Background colour rule of the coloured button: on mouse entry the current
// background is remembered and the hover colour shown; on leave the
// remembered colour returns, even if the background was changed meanwhile.
#include <QColor>

class HoverColors {
public:
    QColor back = QColor(212, 208, 200);
    QColor hover = QColor(232, 232, 232);

    void enter() {
        if (inside_) return;
        inside_ = true;
        remembered_ = back;
        back = hover;
    }
    void leave() {
        if (!inside_) return;
        inside_ = false;
        back = remembered_;
    }
    bool inside() const { return inside_; }

private:
    bool inside_ = false;
    QColor remembered_;
};
