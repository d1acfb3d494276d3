#pragma once
#include "link/SerialPort.h"

#include <QMetaType>
#include <QString>

// A port that could not be opened: which COM name, the device behind it and
// the system's own words for why.
struct PortError {
    QString port;                             // "com1"
    QString device;                           // "/dev/ttyUSB0"
    QString reason;                           // the system's words, for the trace and logs
    PortFailure failure = PortFailure::Other; // what a window says, in its language
};
Q_DECLARE_METATYPE(PortError)

// What the link reports while it works. It knows no window: the shell turns
// these into the status panel, the transmission-error label, message boxes
// and the caption. Every method has a do-nothing default.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // A receive found bytes waiting (true) or nothing (false).
    virtual void answerStatus(bool answered) { (void)answered; }
    // Consecutive live-poll receives that found nothing; 0 after an answer.
    virtual void silentPolls(int count) { (void)count; }
    virtual void portOpenFailed(const PortError& error) { (void)error; }
    virtual void portOpened(const QString& port) { (void)port; }
    // The open port stopped working under the program (adapter pulled out);
    // it has been closed. Comes once per loss; portOpened ends it.
    virtual void portLost(const PortError& error) { (void)error; }
    // A version read finished: the code (0 = no controller answered).
    virtual void versionRead(int code) { (void)code; }
    // The analog-threshold check finished.
    virtual void analogCapability(bool capable) { (void)capable; }
};
