#include "shell/PortSession.h"

#include "link/ControllerLink.h"

#include <QPointer>

namespace shell {

PortSession::PortSession(ControllerLink& link, QObject* parent) : QObject(parent), link_(link) {}

void PortSession::whenIdle(QObject* receiver, std::function<void()> action) {
    link_.whenIdle(receiver, std::move(action));
}

void PortSession::closePort() {
    link_.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
}

void PortSession::readVersion() {
    link_.whenIdle(this, [this] {
        // The version read closes the port; the readings poll of the page goes
        // on on a port reopened for it, or it would find nothing until the next change.
        link_.run(nullptr, [](Controller& c) {
            const bool wasOpen = c.channel().isOpen();
            c.ReadVersion();
            if (wasOpen) c.channel().OpenPort();
        });
    });
}

void PortSession::autodetect(QObject* receiver, const QStringList& ports,
                             std::function<void(const AutodetectStep&)> step,
                             std::shared_ptr<std::atomic<bool>> cancel,
                             std::function<void(const AutodetectResult&)> done) {
    QPointer<QObject> target(receiver);
    ControllerLink* link = &link_;
    link_.whenIdle(receiver, [link, target, ports, step, cancel, done] {
        link->call<AutodetectResult>(
            target,
            [link, target, ports, step, cancel](Controller& c) {
                // Each port's result reaches the window while the search goes
                // on, through the link, which outlives every job it runs.
                return ::autodetect(
                    c, ports,
                    [link, target, step](const AutodetectStep& s) {
                        QMetaObject::invokeMethod(
                            link,
                            [target, step, s] {
                                if (target && step) step(s);
                            },
                            Qt::QueuedConnection);
                    },
                    cancel.get());
            },
            done);
    });
}

} // namespace shell
