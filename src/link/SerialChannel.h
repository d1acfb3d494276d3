#pragma once
#include "link/Clock.h"
#include "link/LinkObserver.h"
#include "link/LinkTrace.h"
#include "link/SerialPort.h"

#include <QMap>
#include <QString>
#include <array>
#include <cstdint>

// The program's one connection to the controller. Synchronous: every byte sent
// is followed by 3 ms, receives take only what is already waiting, and the
// 256-byte receive buffer is never cleared, so decoders see the last answer.
class SerialChannel {
public:
    struct Receive {
        bool ok = false;
        int count = 0;
    };
    static constexpr int BufferSize = 256;
    static constexpr int ByteGapMs = 3;
    static constexpr int SilentPollLimit = 20;
    // After stray bytes, the line must stay quiet this long before a byte goes
    // out (USB adapters hand bytes on in bursts), for at most StrayDrainMaxMs.
    static constexpr int StrayQuietMs = 10;
    static constexpr int StrayDrainMaxMs = 100;
    // Owed answers are waited for in slices of this length.
    static constexpr int OwedSliceMs = 5;

    SerialChannel(SerialPort& port, Clock& clock, LinkObserver* observer = nullptr);

    void setObserver(LinkObserver* observer) { observer_ = observer; }
    LinkObserver* observer() const { return observer_; }
    Clock& clock() const { return clock_; }

    // Where the bytes, pauses and port events go while the trace is on.
    void setTrace(LinkTrace* trace) { trace_ = trace; }
    LinkTrace* trace() const { return trace_; }
    bool tracing() const { return trace_ && trace_->on(); }
    // Names the exchange the bytes of its lifetime belong to; one inside
    // another keeps the outer one's name and step.
    class Exchange {
    public:
        Exchange(SerialChannel& channel, TraceExchange exchange, int step = 0);
        ~Exchange() { channel_.tag_ = saved_; }
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

    private:
        SerialChannel& channel_;
        TraceTag saved_;
    };

    // "com1" ... "com8".
    QString selectedPort() const { return selected_; }
    // COM names are kept in lower case; any other name is a device path and kept as it is.
    void setSelectedPort(const QString& name) { selected_ = comNumber(name) > 0 ? name.toLower() : name; }

    // Where each COMn lives on this machine. On Windows COMn itself; elsewhere
    // /dev/ttyS(n-1) unless mapped.
    void setDevicePath(int comNumber, const QString& path);
    void clearDeviceMap() { devices_.clear(); }
    QString devicePath(const QString& portName) const;
    const QMap<int, QString>& deviceMap() const { return devices_; }

    bool OpenPort() { return OpenPort(selected_); }
    bool OpenPort(const QString& portName);
    bool ProbePort(const QString& portName);
    void ClosePort();
    bool isOpen() const { return port_.isOpen(); }

    // The port ought to be open but is not: its last open failed, or the device
    // went away under it (then it was closed and the observer told). Only a
    // ClosePort ends this; reopen() tries the same port again without a message.
    bool reopenWanted() const { return wantOpen_ && !port_.isOpen(); }
    bool reopen();
    // The port the last open was for.
    QString lastPort() const { return lastPort_; }

    // Bytes that are waiting when a byte goes out arrived outside any
    // exchange's window (answers follow their command): they are dropped
    // first, with the rest of an answer they belong to, so they never count
    // for the answer still to come. Nothing extra goes on the wire; on a clean
    // line nothing waits and nothing changes.
    // Keep is for a request repeated inside one exchange: what has arrived
    // since its first request is that exchange's own answer, on its way.
    enum class Input { Drop, Keep };
    bool SendByte(std::uint8_t byte, Input input = Input::Drop);
    // report false: the link-state panel is told once the exchange is over
    // (reportAnswer), so a request that is answered on its third try does not
    // show "no answer" twice on the way.
    Receive ReceiveAnswer(bool report = true);
    Receive ReceivePolled(bool report = true);
    void reportAnswer(bool answered) {
        if (observer_) observer_->answerStatus(answered);
    }
    // The rest of an answer that came in parts: up to `max` of the bytes
    // waiting go into the buffer from index `at` on; the rest waits (the next
    // answer's start). The link-state panel is left as it is.
    Receive ReceiveMore(int at, int max);

    // Answer bytes still owed to requests of a finished exchange: the answers
    // to its repeated requests, or the rest of one cut short. They may yet
    // arrive, late. The next byte sent first waits for them, until they are
    // in or the channel's clock reaches untilUs, and drops them: counting
    // bytes does not depend on how quiet the line looks, which a sender that
    // pauses mid-answer (a USB adapter's latency, a busy machine) defeats.
    void owe(int bytes, qint64 untilUs);
    int owed() const { return owed_; }
    std::uint8_t AnswerByte(int index) const { return buffer_[static_cast<std::size_t>(index & 0xFF)]; }
    void setAnswerByte(int index, std::uint8_t value) {
        buffer_[static_cast<std::size_t>(index & 0xFF)] = value;
    }
    const std::array<std::uint8_t, BufferSize>& buffer() const { return buffer_; }

    void sleepMs(int ms) {
        if (tracing()) tracePause(ms);
        clock_.sleepMs(ms);
    }
    // Bytes the port holds now, without taking them (negative: the port is gone).
    int waiting() { return port().bytesWaiting(); }

    int silenceCounter() const { return silence_; }
    void resetSilenceCounter() { silence_ = 0; }

    static int comNumber(const QString& portName); // "com3" -> 3, 0 when not a COM name
    // Where a port lives when nothing maps it: COMn itself on Windows,
    // /dev/ttyS(n-1) elsewhere; any other name is taken as a device path.
    static QString defaultDevicePath(const QString& portName);

private:
    // The port, once the waits the clock held back are over.
    SerialPort& port() {
        clock_.settle();
        return port_;
    }
    bool openDevice(const QString& portName, bool report);
    // The open device stopped working: close it and say so, once.
    void deviceLost();
    // Drops what is waiting; when something was, waits for the rest of that
    // answer and drops it too, so its tail cannot pass for the next answer.
    void dropStrayInput();
    // Drops what is waiting; traced, the bytes are read first so the trace can show them.
    int discardInput();
    void traceEvent(TraceKind kind, bool failed, const std::uint8_t* bytes = nullptr, int count = 0);
    void tracePause(int ms);

    SerialPort& port_;
    Clock& clock_;
    LinkObserver* observer_;
    QString selected_ = QStringLiteral("com1");
    QString lastPort_ = QStringLiteral("com1"); // the port the last open was for
    bool wantOpen_ = false;
    QMap<int, QString> devices_;
    std::array<std::uint8_t, BufferSize> buffer_{};
    int silence_ = 0;
    int owed_ = 0;
    qint64 owedUntilUs_ = 0;
    LinkTrace* trace_ = nullptr;
    TraceTag tag_;
};
