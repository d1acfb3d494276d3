#include "emulator/Emulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace qsim {

namespace {

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void setError(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
}

bool setNonBlocking(int fd) {
    const int fl = fcntl(fd, F_GETFL);
    return fl >= 0 && fcntl(fd, F_SETFL, fl | O_NONBLOCK) == 0;
}

bool parseNumber(const std::string& s, double* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || end == s.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool parseInt(const std::string& s, int* out) {
    double v;
    if (!parseNumber(s, &v) || v != std::floor(v) || std::fabs(v) > 1e9) return false;
    *out = static_cast<int>(v);
    return true;
}

bool parseOnOff(const std::string& s, bool* out) {
    if (s == "on" || s == "1" || s == "yes") {
        *out = true;
        return true;
    }
    if (s == "off" || s == "0" || s == "no") {
        *out = false;
        return true;
    }
    return false;
}

} // namespace

Emulator::Emulator(int versionCode, int storedIgnition)
    : model_(versionCode, storedIgnition), startNs_(monotonicNs()) {}

Emulator::~Emulator() {
    stop();
    closeAll();
    if (!stable_.empty()) ::unlink(stable_.c_str());
    std::lock_guard<std::mutex> l(logMutex_);
    if (log_) std::fclose(log_);
    log_ = nullptr;
}

double Emulator::nowMs() const {
    return (monotonicNs() - startNs_) / 1e6;
}

void Emulator::closeAll() {
    if (ioFd_ >= 0) ::close(ioFd_);
    if (slaveFd_ >= 0) ::close(slaveFd_);
    ioFd_ = slaveFd_ = -1;
    path_.clear();
}

bool Emulator::openPty(std::string* error) {
    if (running_) {
        if (error) *error = "emulator is running";
        return false;
    }
    closeAll();
    // Close-on-exec throughout: a program the caller starts (a test runs the
    // command-line tool) must not inherit the device and keep it alive after
    // an unplug.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        setError(error, "posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        setError(error, "pty setup");
        ::close(master);
        return false;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        setError(error, std::string("open ") + name);
        ::close(master);
        return false;
    }
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(slave, TCSANOW, &t);
    }
    setNonBlocking(master);
    ioFd_ = master;
    slaveFd_ = slave;
    path_ = name;
    attached_.clear();
    return true;
}

bool Emulator::linkStablePath(std::string* error) {
    if (stable_.empty() || path_.empty() || !attached_.empty()) return true;
    ::unlink(stable_.c_str());
    if (::symlink(path_.c_str(), stable_.c_str()) != 0) {
        setError(error, "symlink " + stable_);
        return false;
    }
    return true;
}

bool Emulator::setStablePath(const std::string& path, std::string* error) {
    if (!attached_.empty()) {
        if (error) *error = "a stable path needs a pty";
        return false;
    }
    stable_ = path;
    return linkStablePath(error);
}

std::string Emulator::stablePath() const {
    return stable_;
}

bool Emulator::unplug(std::string* error) {
    if (unplugged_ || ioFd_ < 0) {
        if (error) *error = "no device to unplug";
        return false;
    }
    stop();
    // Both ends closed: the program's open handle sees a hang-up, and the
    // pty's slave path goes when the program lets go of it.
    closeAll();
    if (!stable_.empty()) ::unlink(stable_.c_str());
    {
        std::lock_guard<std::mutex> l(mutex_);
        out_.clear();
        nextFreeMs_ = 0;
    }
    unplugged_ = true;
    logLine(nowMs(), "device unplugged");
    return true;
}

bool Emulator::replug(std::string* error) {
    if (!unplugged_) {
        if (error) *error = "device is plugged in";
        return false;
    }
    const std::string device = attached_;
    const bool opened = device.empty() ? openPty(error) : attach(device, error);
    if (!opened || !linkStablePath(error) || !startThread()) {
        closeAll();
        return false;
    }
    unplugged_ = false;
    logLine(nowMs(), "device plugged in again: " + path_);
    return true;
}

bool Emulator::attach(const std::string& device, std::string* error) {
    if (running_) {
        if (error) *error = "emulator is running";
        return false;
    }
    closeAll();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, "open " + device);
        return false;
    }
    termios t{};
    if (isatty(fd) && tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
        tcsetattr(fd, TCSANOW, &t);
    }
    ioFd_ = fd;
    path_ = device;
    attached_ = device;
    return true;
}

std::string Emulator::devicePath() const {
    return path_;
}

void Emulator::setLogFile(const std::string& path) {
    std::lock_guard<std::mutex> l(logMutex_);
    if (log_) std::fclose(log_);
    log_ = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
}

void Emulator::logLine(double ms, const std::string& text) {
    std::lock_guard<std::mutex> l(logMutex_);
    if (!log_) return;
    std::fprintf(log_, "%12.3f %s\n", ms, text.c_str());
    std::fflush(log_);
}

void Emulator::setByteTimeMs(double ms) {
    std::lock_guard<std::mutex> l(mutex_);
    byteTimeMs_ = std::max(0.0, ms);
}

double Emulator::byteTimeMs() const {
    std::lock_guard<std::mutex> l(mutex_);
    return byteTimeMs_;
}

bool Emulator::start() {
    if (running_ || ioFd_ < 0) return false;
    {
        std::lock_guard<std::mutex> l(mutex_);
        received_.clear();
        out_.clear();
        nextFreeMs_ = 0;
    }
    return startThread();
}

bool Emulator::startThread() {
    if (running_ || ioFd_ < 0) return false;
    if (pipe2(wake_, O_CLOEXEC) != 0) return false;
    setNonBlocking(wake_[0]);
    setNonBlocking(wake_[1]);
    stopFlag_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void Emulator::stop() {
    if (!running_) return;
    stopFlag_ = true;
    const char c = 'x';
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &c, 1);
    if (thread_.joinable()) thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    wake_[0] = wake_[1] = -1;
    running_ = false;
}

void Emulator::boundHistory() {
    std::lock_guard<std::mutex> l(mutex_);
    historyBounded_ = true;
}

std::vector<uint8_t> Emulator::received() const {
    std::lock_guard<std::mutex> l(mutex_);
    return received_;
}

void Emulator::clearReceived() {
    std::lock_guard<std::mutex> l(mutex_);
    received_.clear();
}

void Emulator::discardPendingOutput() {
    std::lock_guard<std::mutex> l(mutex_);
    out_.clear();
    if (slaveFd_ >= 0) tcflush(slaveFd_, TCIFLUSH);
}

// Caller holds mutex_.
void Emulator::schedule(const std::vector<uint8_t>& bytes, double now, const AnswerTiming& timing) {
    if (bytes.empty()) return;
    // A line cannot start a byte before the previous one has left.
    double t = std::max(now + std::max(0.0, timing.delayMs), nextFreeMs_);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (timing.pauseAfter > 0 && i == static_cast<size_t>(timing.pauseAfter)) t += timing.pauseMs;
        out_.push_back({t, bytes[i]});
        t += byteTimeMs_;
    }
    nextFreeMs_ = t;
    // Nobody reading for a long time: do not grow without bound.
    while (out_.size() > 65536)
        out_.pop_front();
}

void Emulator::run() {
    std::vector<uint8_t> buf(512);
    double lastAdvance = 0;
    while (!stopFlag_) {
        double timeoutMs = 20.0;
        {
            std::lock_guard<std::mutex> l(mutex_);
            if (!out_.empty()) timeoutMs = std::clamp(out_.front().dueMs - nowMs(), 0.0, 20.0);
        }
        pollfd fds[2] = {{ioFd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        timespec ts{0, static_cast<long>(timeoutMs * 1e6)};
        const int r = ppoll(fds, 2, &ts, nullptr);
        if (r < 0 && errno != EINTR) break;
        if (stopFlag_) break;
        if (r > 0 && (fds[1].revents & POLLIN)) {
            char c[16];
            while (::read(wake_[0], c, sizeof c) > 0) {
            }
        }
        if (r > 0 && (fds[0].revents & POLLIN)) {
            const ssize_t n = ::read(ioFd_, buf.data(), buf.size());
            if (n == 0) usleep(5000); // end of file on an attached device: do not spin
            for (ssize_t i = 0; i < n; ++i) {
                const double t = nowMs();
                std::vector<std::string> events;
                {
                    std::lock_guard<std::mutex> l(mutex_);
                    received_.push_back(buf[i]);
                    if (historyBounded_ && received_.size() >= 2 * kReceivedKept)
                        received_.erase(received_.begin(),
                                        received_.end() - static_cast<std::ptrdiff_t>(kReceivedKept));
                    const std::vector<uint8_t> answer = model_.receive(buf[i], t);
                    if (historyBounded_ && model_.commands().size() >= 2 * kCommandsKept)
                        model_.dropOldCommands(kCommandsKept);
                    schedule(answer, t, model_.lastAnswerTiming());
                    events = model_.takeEvents();
                }
                char line[32];
                std::snprintf(line, sizeof line, "rx 0x%02X", buf[i]);
                logLine(t, line);
                for (const auto& e : events)
                    logLine(t, e);
            }
        } else if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            // Only when nobody holds the other end (an attached device); do not spin.
            usleep(5000);
        }

        // Send what is due, in one write when pacing is off.
        std::vector<uint8_t> due;
        {
            std::lock_guard<std::mutex> l(mutex_);
            const double now = nowMs();
            for (const Pending& p : out_) {
                if (p.dueMs > now) break;
                due.push_back(p.byte);
            }
            if (!due.empty()) {
                const ssize_t w = ::write(ioFd_, due.data(), due.size());
                const size_t sent = w > 0 ? static_cast<size_t>(w) : 0;
                out_.erase(out_.begin(), out_.begin() + static_cast<long>(sent));
            }
            if (now - lastAdvance >= 10.0) {
                model_.advance(now);
                lastAdvance = now;
                std::vector<std::string> events = model_.takeEvents();
                for (const auto& e : events)
                    logLine(now, e);
            }
        }
    }
}

std::string Emulator::helpText() {
    return "commands:\n"
           "  throttle X        throttle 0..1\n"
           "  rpm N | rpm auto  force the engine speed / back to the model\n"
           "  engine on|off\n"
           "  temp C | temp auto\n"
           "  ambient C\n"
           "  ignition N        ignition system actually fitted (0..5)\n"
           "  gas X             tank level 0..1\n"
           "  reducer X         reducer screw 0 (lean) .. 1 (rich)\n"
           "  switch petrol|auto  dashboard switch: hold on petrol / let the controller switch\n"
           "  silent on|off     answer nothing\n"
           "  every N           answer only every Nth request (0 = all)\n"
           "  lose N            lose every Nth answer (0 = none)\n"
           "  truncate K|off    send only the first K bytes of answers\n"
           "  checksum bad|good live frames with a wrong/right checksum\n"
           "  noise N           N garbage bytes after (N<0: before) each answer\n"
           "  delay MS          extra delay before answering\n"
           "  pause K MS        the line stops MS after the first K bytes of each answer (0 0: off)\n"
           "  pacing MS         time per answer byte (0 = all at once)\n"
           "  version N         version code\n"
           "  stored-ignition N ignition index kept in the block\n"
           "  threshold N       analog threshold\n"
           "  unplug            the device goes away (its stable path too)\n"
           "  replug            a new device at the same stable path\n"
           "  status | help | quit";
}

std::string Emulator::statusText() {
    std::ostringstream o;
    withModel([&](ControllerModel& m) {
        m.advance(nowMs());
        const EngineState s = m.state();
        const Faults& f = m.faults();
        o.setf(std::ios::fixed);
        o.precision(2);
        o << "engine=" << (m.inputs().engineOn ? "on" : "off") << " rpm=" << std::lround(s.rpm)
          << " throttle=" << m.inputs().throttle << " temp=" << s.tempC << "C lambda=" << s.lambdaVolts
          << "V tps=" << s.tpsVolts << "V stepper=" << s.stepper << (s.onGas ? " gas" : " petrol")
          << " reducer=" << m.inputs().reducer << " switch=" << (m.inputs().gasSwitch ? "auto" : "petrol")
          << " version=" << m.versionCode() << " ignition=" << m.inputs().trueIgnition
          << " stored-ignition=" << m.storedIgnition() << " threshold=" << int(m.analogThreshold())
          << " faults:" << (f.silent ? " silent" : "") << " every=" << f.answerEveryN
          << " lose=" << f.loseEveryN << " truncate=" << f.truncateTo
          << (f.wrongChecksum ? " bad-checksum" : "") << " noise=" << f.noiseBytes << " delay=" << f.delayMs
          << " pause=" << f.pauseAfter << '/' << f.pauseMs;
    });
    return o.str();
}

bool Emulator::handleCommandLine(const std::string& line, std::string* reply) {
    std::istringstream in(line);
    std::string cmd, arg, extra;
    in >> cmd >> arg >> extra;
    std::string out = "ok";
    bool ok = true;
    auto fail = [&](const std::string& why) {
        ok = false;
        out = "error: " + why;
    };
    double d = 0;
    int n = 0;
    bool b = false;

    if (cmd.empty()) {
        out.clear();
    } else if (!extra.empty() && cmd != "pause") {
        fail("too many arguments");
    } else if (cmd == "throttle") {
        if (parseNumber(arg, &d) && d >= 0 && d <= 1)
            withModel([&](ControllerModel& m) { m.inputs().throttle = d; });
        else
            fail("throttle needs a value 0..1");
    } else if (cmd == "rpm") {
        if (arg == "auto")
            withModel([&](ControllerModel& m) { m.inputs().forcedRpm = -1; });
        else if (parseInt(arg, &n) && n >= 0 && n <= 20000)
            withModel([&](ControllerModel& m) { m.inputs().forcedRpm = n; });
        else
            fail("rpm needs 0..20000 or auto");
    } else if (cmd == "engine") {
        if (parseOnOff(arg, &b))
            withModel([&](ControllerModel& m) { m.inputs().engineOn = b; });
        else
            fail("engine on|off");
    } else if (cmd == "temp") {
        if (arg == "auto")
            withModel([&](ControllerModel& m) { m.inputs().forcedTempC = -1000; });
        else if (parseNumber(arg, &d) && d >= -40 && d <= 150)
            withModel([&](ControllerModel& m) { m.inputs().forcedTempC = d; });
        else
            fail("temp needs -40..150 or auto");
    } else if (cmd == "ambient") {
        if (parseNumber(arg, &d) && d >= -40 && d <= 60)
            withModel([&](ControllerModel& m) { m.inputs().ambientC = d; });
        else
            fail("ambient needs -40..60");
    } else if (cmd == "ignition") {
        if (parseInt(arg, &n) && n >= 0 && n <= 5)
            withModel([&](ControllerModel& m) { m.inputs().trueIgnition = n; });
        else
            fail("ignition needs 0..5");
    } else if (cmd == "gas") {
        if (parseNumber(arg, &d) && d >= 0 && d <= 1)
            withModel([&](ControllerModel& m) { m.inputs().gasLevel = d; });
        else
            fail("gas needs 0..1");
    } else if (cmd == "reducer") {
        if (parseNumber(arg, &d) && d >= 0 && d <= 1)
            withModel([&](ControllerModel& m) { m.inputs().reducer = d; });
        else
            fail("reducer needs a value 0..1");
    } else if (cmd == "switch") {
        if (arg == "petrol" || arg == "auto")
            withModel([&](ControllerModel& m) { m.inputs().gasSwitch = arg == "auto"; });
        else
            fail("switch petrol|auto");
    } else if (cmd == "silent") {
        if (parseOnOff(arg, &b))
            withModel([&](ControllerModel& m) { m.faults().silent = b; });
        else
            fail("silent on|off");
    } else if (cmd == "every") {
        if (parseInt(arg, &n) && n >= 0)
            withModel([&](ControllerModel& m) { m.faults().answerEveryN = n; });
        else
            fail("every needs N >= 0");
    } else if (cmd == "lose") {
        if (parseInt(arg, &n) && n >= 0)
            withModel([&](ControllerModel& m) { m.faults().loseEveryN = n; });
        else
            fail("lose needs N >= 0");
    } else if (cmd == "truncate") {
        if (arg == "off")
            withModel([&](ControllerModel& m) { m.faults().truncateTo = -1; });
        else if (parseInt(arg, &n) && n >= 0)
            withModel([&](ControllerModel& m) { m.faults().truncateTo = n; });
        else
            fail("truncate needs K >= 0 or off");
    } else if (cmd == "checksum") {
        if (arg == "bad" || arg == "good")
            withModel([&](ControllerModel& m) { m.faults().wrongChecksum = arg == "bad"; });
        else
            fail("checksum bad|good");
    } else if (cmd == "noise") {
        if (parseInt(arg, &n) && std::abs(n) <= 1000)
            withModel([&](ControllerModel& m) { m.faults().noiseBytes = n; });
        else
            fail("noise needs -1000..1000");
    } else if (cmd == "delay") {
        if (parseInt(arg, &n) && n >= 0 && n <= 60000)
            withModel([&](ControllerModel& m) { m.faults().delayMs = n; });
        else
            fail("delay needs 0..60000 ms");
    } else if (cmd == "pause") {
        int ms = 0;
        if (parseInt(arg, &n) && n >= 0 && n <= 256 && parseInt(extra, &ms) && ms >= 0 && ms <= 60000)
            withModel([&](ControllerModel& m) {
                m.faults().pauseAfter = n;
                m.faults().pauseMs = ms;
            });
        else
            fail("pause needs K 0..256 and MS 0..60000");
    } else if (cmd == "pacing") {
        if (parseNumber(arg, &d) && d >= 0 && d <= 1000)
            setByteTimeMs(d);
        else
            fail("pacing needs 0..1000 ms");
    } else if (cmd == "version") {
        if (parseInt(arg, &n) && n >= 0 && n <= 255)
            withModel([&](ControllerModel& m) { m.setVersionCode(n); });
        else
            fail("version needs 0..255");
    } else if (cmd == "stored-ignition") {
        if (parseInt(arg, &n) && n >= 0 && n <= 0xFFFF)
            withModel([&](ControllerModel& m) { m.setStoredIgnition(n); });
        else
            fail("stored-ignition needs 0..65535");
    } else if (cmd == "threshold") {
        if (parseInt(arg, &n) && n >= 0 && n <= 255)
            withModel([&](ControllerModel& m) { m.setAnalogThreshold(static_cast<uint8_t>(n)); });
        else
            fail("threshold needs 0..255");
    } else if (cmd == "unplug" && arg.empty()) {
        std::string why;
        if (!unplug(&why)) fail(why);
    } else if (cmd == "replug" && arg.empty()) {
        std::string why;
        if (!replug(&why))
            fail(why);
        else
            out = "ok " + (stable_.empty() ? path_ : stable_);
    } else if (cmd == "status" && arg.empty()) {
        out = statusText();
    } else if (cmd == "help" && arg.empty()) {
        out = helpText();
    } else if (cmd == "quit" && arg.empty()) {
        quit_ = true;
        out = "bye";
    } else {
        fail("unknown command '" + cmd + "' (try help)");
    }
    if (!cmd.empty()) logLine(nowMs(), "command '" + line + "': " + (ok ? "ok" : out));
    if (reply) *reply = out;
    return ok;
}

} // namespace qsim
