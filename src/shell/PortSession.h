#pragma once
// The window's own exchanges with the controller: the port closed for the
// default settings, the version read of "wersja sterownika" and the search
// for the controller's port. Each waits until the link is idle, so none comes
// between the steps of a write. The window and the Port menu call these.
#include "link/Autodetect.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class ControllerLink;

namespace shell {

class PortSession : public QObject {
    Q_OBJECT
public:
    explicit PortSession(ControllerLink& link, QObject* parent = nullptr);

    // Runs action once everything posted before has finished (not when
    // receiver has gone).
    void whenIdle(QObject* receiver, std::function<void()> action);
    // ClosePort.
    void closePort();
    // ReadVersion, which refreshes the caption; a port a page was polling on
    // is opened again for it.
    void readVersion();
    // Tries `ports` in turn (see ::autodetect). step reports each port while
    // the search goes on, done the result; neither comes after receiver has
    // gone. cancel stops the search before its next port.
    void autodetect(QObject* receiver, const QStringList& ports,
                    std::function<void(const AutodetectStep&)> step,
                    std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const AutodetectResult&)> done);

private:
    ControllerLink& link_;
};

} // namespace shell
