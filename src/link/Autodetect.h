#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

class Controller;

// Finding the port the controller is on: each port in turn is opened without
// a message, asked for the version, and the first one that answers is kept.
// Runs as one job on the link's worker.
struct AutodetectStep {
    QString port; // "com3" or a device path
    bool opened;  // the probe opened it
    bool found;   // a controller answered the version request
};

struct AutodetectResult {
    std::vector<AutodetectStep> steps; // one per port tried
    QString found;                     // the port with the controller, empty when none
    QString selected;                  // the selected port afterwards
    bool cancelled = false;
};

// The COM names the search always tries, in order: "com1" ... "com8".
QStringList autodetectComPorts();

// Tries `ports` in order. After a port has been found the remaining ones are
// only closed, never opened. progress (may be empty) is called after each port
// on the worker thread; cancel (may be null) stops the search before the next port.
AutodetectResult autodetect(Controller& c, const QStringList& ports,
                            const std::function<void(const AutodetectStep&)>& progress = {},
                            const std::atomic<bool>* cancel = nullptr);
