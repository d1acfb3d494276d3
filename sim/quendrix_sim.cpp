// quendrix-sim: a stand-in LPG controller on a pseudo-terminal (or an existing
// serial device), driven from standard input with simple line commands.

#include "emulator/Emulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 's';
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: quendrix-sim [options]\n"
                 "Emulates the controller on a new pseudo-terminal and prints 'pty: PATH' first.\n"
                 "  --device PATH        use an existing serial device instead (prints 'device: PATH')\n"
                 "  --link PATH          also a symbolic link PATH to the pty that stays across\n"
                 "                       unplug/replug (prints 'link: PATH' second)\n"
                 "  --version-code N     version code (default 5)\n"
                 "  --ignition N         stored ignition index (default 2)\n"
                 "  --true-ignition N    ignition system actually fitted (default: the stored one)\n"
                 "  --log FILE           log every byte received and every answer, with ms times\n"
                 "  --byte-time MS       pacing of answer bytes (default 1.04, 0 = at once)\n"
                 "  --silent             answer nothing\n"
                 "  --every N            answer only every Nth request\n"
                 "  --lose N             lose every Nth answer\n"
                 "  --truncate K         send only the first K bytes of each answer\n"
                 "  --wrong-checksum     live frames with a wrong checksum\n"
                 "  --noise N            N garbage bytes after each answer (N<0: before)\n"
                 "  --delay MS           extra delay before each answer\n"
                 "  --help               this text\n"
                 "Standard input takes one command a line:\n%s\n",
                 qsim::Emulator::helpText().c_str());
}

bool toInt(const char* s, int* out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (errno || end == s || *end) return false;
    *out = static_cast<int>(v);
    return true;
}

bool toDouble(const char* s, double* out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s, &end);
    if (errno || end == s || *end) return false;
    *out = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string device, logFile, link;
    int version = 5, ignition = 2, trueIgnition = -1;
    double byteTime = 1.04;
    qsim::Faults faults;

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "quendrix-sim: %s needs a value\n", what);
                std::exit(2);
            }
            return argv[++i];
        };
        auto intValue = [&](const char* what, int lo, int hi) {
            int v = 0;
            const char* s = value(what);
            if (!toInt(s, &v) || v < lo || v > hi) {
                std::fprintf(stderr, "quendrix-sim: bad value for %s: %s\n", what, s);
                std::exit(2);
            }
            return v;
        };
        if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else if (a == "--device") {
            device = value("--device");
        } else if (a == "--link") {
            link = value("--link");
        } else if (a == "--version-code") {
            version = intValue("--version-code", 0, 255);
        } else if (a == "--ignition") {
            ignition = intValue("--ignition", 0, 0xFFFF);
        } else if (a == "--true-ignition") {
            trueIgnition = intValue("--true-ignition", 0, 5);
        } else if (a == "--log") {
            logFile = value("--log");
        } else if (a == "--byte-time") {
            const char* s = value("--byte-time");
            if (!toDouble(s, &byteTime) || byteTime < 0 || byteTime > 1000) {
                std::fprintf(stderr, "quendrix-sim: bad value for --byte-time: %s\n", s);
                return 2;
            }
        } else if (a == "--silent") {
            faults.silent = true;
        } else if (a == "--every") {
            faults.answerEveryN = intValue("--every", 0, 1000000);
        } else if (a == "--lose") {
            faults.loseEveryN = intValue("--lose", 0, 1000000);
        } else if (a == "--truncate") {
            faults.truncateTo = intValue("--truncate", 0, 1000);
        } else if (a == "--wrong-checksum") {
            faults.wrongChecksum = true;
        } else if (a == "--noise") {
            faults.noiseBytes = intValue("--noise", -1000, 1000);
        } else if (a == "--delay") {
            faults.delayMs = intValue("--delay", 0, 60000);
        } else {
            std::fprintf(stderr, "quendrix-sim: unknown option %s (try --help)\n", a.c_str());
            return 2;
        }
    }

    qsim::Emulator emu(version, ignition);
    emu.setByteTimeMs(byteTime);
    emu.boundHistory(); // nobody reads the history back; it may run for days
    if (!logFile.empty()) emu.setLogFile(logFile);
    emu.withModel([&](qsim::ControllerModel& m) {
        m.faults() = faults;
        if (trueIgnition >= 0) m.inputs().trueIgnition = trueIgnition;
    });

    std::string error;
    const bool opened = device.empty() ? emu.openPty(&error) : emu.attach(device, &error);
    if (!opened || (!link.empty() && !emu.setStablePath(link, &error))) {
        std::fprintf(stderr, "quendrix-sim: %s\n", error.c_str());
        return 1;
    }

    // The I/O thread must not take the signals: block them while it is created.
    if (pipe(g_signalPipe) != 0) return 1;
    fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    sigset_t set, old;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, &old);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const bool started = emu.start();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    if (!started) {
        std::fprintf(stderr, "quendrix-sim: cannot start\n");
        return 1;
    }

    std::printf("%s: %s\n", device.empty() ? "pty" : "device", emu.devicePath().c_str());
    if (!link.empty()) std::printf("link: %s\n", link.c_str());
    std::fflush(stdout);

    std::string pending;
    bool stdinOpen = true;
    while (!emu.quitRequested()) {
        pollfd fds[2] = {{g_signalPipe[0], POLLIN, 0}, {stdinOpen ? STDIN_FILENO : -1, POLLIN, 0}};
        const int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents & POLLIN) break;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[512];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                // No more commands; keep serving until a signal arrives.
                stdinOpen = false;
                continue;
            }
            pending.append(buf, static_cast<size_t>(n));
            size_t nl;
            while ((nl = pending.find('\n')) != std::string::npos) {
                std::string line = pending.substr(0, nl);
                pending.erase(0, nl + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                std::string reply;
                emu.handleCommandLine(line, &reply);
                if (!reply.empty()) {
                    std::printf("%s\n", reply.c_str());
                    std::fflush(stdout);
                }
                if (emu.quitRequested()) break;
            }
        }
    }
    emu.stop();
    return 0;
}
