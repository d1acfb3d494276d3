// The controller's exchanges over a port that answers whatever the fuzzer
// says: any number of bytes (none, a few, more than the receive buffer), any
// values, ports that fail to open, in any order of exchanges.
#include "FuzzInput.h"
#include "link/Autodetect.h"
#include "link/Controller.h"
#include "params/BlockCodec.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"

#include <algorithm>
#include <cstring>

namespace {

class NoWaitClock : public Clock {
public:
    void sleepMs(int ms) override { now_ += qint64(ms) * 1000; }
    qint64 nowUs() const override { return now_; }

private:
    qint64 now_ = 0;
};

// Each receive takes its answer from the input: a length, then that many bytes.
class FuzzedPort : public SerialPort {
public:
    explicit FuzzedPort(FuzzInput& in) : in_(in) {}
    bool open(const QString&, QString* reason, PortFailure* failure) override {
        open_ = (in_.byte() & 7) != 0; // now and then a port that does not open
        if (!open_) {
            if (reason) *reason = QStringLiteral("fuzzed failure");
            if (failure) *failure = in_.flag() ? PortFailure::PermissionDenied : PortFailure::Other;
        }
        return open_;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool sendImmediate(std::uint8_t) override { return open_; }
    int bytesWaiting() override {
        if (!open_) return -1;
        if (pending_.isEmpty()) {
            const int len = in_.byte() % 4 == 0 ? in_.u16() % 600 : in_.byte() % 40;
            for (int i = 0; i < len && !in_.empty(); ++i)
                pending_.append(char(in_.byte()));
        }
        return int(pending_.size());
    }
    int readNow(std::uint8_t* dst, int max) override {
        const int n = std::min<int>(max, int(pending_.size()));
        std::memcpy(dst, pending_.constData(), std::size_t(n));
        pending_.remove(0, n);
        return n;
    }
    void waitTransmitIdle() override {}

private:
    FuzzInput& in_;
    QByteArray pending_;
    bool open_ = false;
};

class Sink : public WriteMessageSink {
    void writeMessage(const QString&, const QString&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    NoWaitClock clock;
    FuzzedPort port(in);
    SerialChannel channel(port, clock);
    Controller c(channel);
    ParameterSet set = defaultParameterSet();
    Sink sink;
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        switch (in.pick(11)) {
        case 0:
            c.ReadVersion();
            break;
        case 1:
            (void)c.ReadParameterBlock();
            break;
        case 2:
            (void)c.ReadIgnition();
            break;
        case 3:
            channel.OpenPort();
            c.ReadAnalogThreshold();
            break;
        case 4:
            (void)c.WriteAnalogThreshold();
            break;
        case 5:
            channel.OpenPort();
            for (int i = in.pick(4); i >= 0; --i)
                (void)c.PollLiveFrame();
            break;
        case 6:
            (void)c.ReadAnalogCapability();
            (void)c.ReadFeatureVersion();
            break;
        case 7:
            c.WriteIgnition(in.pick(6));
            break;
        case 8:
            (void)readParameters(c, set);
            break;
        case 9:
            WriteParameters(c, set, &sink);
            break;
        case 10:
            (void)autodetect(c, autodetectComPorts());
            break;
        }
    }
    return 0;
}
