#include "widgets/FollowColours.h"

#include <QEvent>
#include <QPointer>
#include <QVector>
#include <QWidget>

namespace {

class Follower : public QObject {
public:
    Follower(QWidget* leader, QWidget* follower, std::initializer_list<ColourRoles> roles)
        : QObject(follower), leader_(leader), follower_(follower), roles_(roles) {
        leader->installEventFilter(this);
        copy();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == leader_ && event->type() == QEvent::PaletteChange) copy();
        return false;
    }

private:
    void copy() {
        if (!leader_ || !follower_) return;
        QPalette p = follower_->palette();
        bool changed = false;
        for (const ColourRoles& r : roles_)
            for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                const QColor c = leader_->palette().color(g, r.first);
                if (p.color(g, r.second) == c && p.isBrushSet(g, r.second)) continue;
                p.setColor(g, r.second, c);
                changed = true;
            }
        if (changed) follower_->setPalette(p);
    }

    QPointer<QWidget> leader_;
    QPointer<QWidget> follower_;
    QVector<ColourRoles> roles_;
};

} // namespace

void followColours(QWidget* leader, QWidget* follower, std::initializer_list<ColourRoles> roles) {
    if (leader && follower) new Follower(leader, follower, roles);
}

void followTextColour(QWidget* leader, QWidget* follower) {
    followColours(
        leader, follower,
        {{QPalette::WindowText, QPalette::WindowText}, {QPalette::WindowText, QPalette::ButtonText}});
}
