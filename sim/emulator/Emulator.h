#pragma once

// A ControllerModel behind a serial device: a pseudo-terminal it creates (the
// program opens the slave path) or an existing device. One background thread
// reads the bytes, feeds the model and sends its answers paced like a 9600 baud
// line. All model access goes through the mutex.

#include "emulator/ControllerModel.h"

#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qsim {

class Emulator {
public:
    Emulator(int versionCode = 5, int storedIgnition = 2);
    ~Emulator(); // stops and closes everything

    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    bool openPty(std::string* error = nullptr); // creates the pty; devicePath() is the slave path
    bool attach(const std::string& device, std::string* error = nullptr);
    std::string devicePath() const;

    // A fixed path (a symbolic link to the pty's slave) that stays the same
    // when the device is pulled out and put back, like /dev/serial/by-id.
    bool setStablePath(const std::string& path, std::string* error = nullptr);
    std::string stablePath() const;
    // The device goes away under whoever has it open (their reads and writes
    // fail from now on) and its path disappears; the model keeps its state.
    bool unplug(std::string* error = nullptr);
    // A new device at the same stable path (or the same attached device),
    // served by the same model.
    bool replug(std::string* error = nullptr);
    bool isUnplugged() const { return unplugged_.load(); }
    void setLogFile(const std::string& path); // empty path: no log
    void setByteTimeMs(double ms);            // answer pacing, default 1.04; 0 = at once
    double byteTimeMs() const;

    bool start(); // false when no device is open or already running
    void stop();
    bool isRunning() const { return running_.load(); }

    template <class F> auto withModel(F&& f) {
        std::lock_guard<std::mutex> l(mutex_);
        return f(model_);
    }

    // The bytes received since start/clearReceived, and the model's commands().
    // Whole by default (a test reads a run back); after boundHistory() a running
    // emulator keeps at least the last kReceivedKept bytes and kCommandsKept
    // commands and forgets older ones in chunks, so that a demo left running
    // all day holds a bounded history.
    static constexpr std::size_t kReceivedKept = 16 * 1024;
    static constexpr std::size_t kCommandsKept = 1024;
    void boundHistory();
    std::vector<uint8_t> received() const;
    void clearReceived();
    // Drops answer bytes not yet sent and those sent but not yet read on the other side.
    void discardPendingOutput();

    // One line of the stdin command language (see helpText()). Returns false for an
    // unknown or malformed command; reply gets the answer or the error.
    bool handleCommandLine(const std::string& line, std::string* reply = nullptr);
    bool quitRequested() const { return quit_.load(); }
    static std::string helpText();

    double nowMs() const; // the emulator's clock: ms since construction

private:
    struct Pending {
        double dueMs;
        uint8_t byte;
    };

    void run();
    void closeAll();
    bool startThread();
    bool linkStablePath(std::string* error);
    void schedule(const std::vector<uint8_t>& bytes, double nowMs, const AnswerTiming& timing);
    void logLine(double ms, const std::string& text);
    std::string statusText();

    mutable std::mutex mutex_; // model_, received_, out_
    ControllerModel model_;
    std::vector<uint8_t> received_;
    bool historyBounded_ = false;
    std::deque<Pending> out_;
    double nextFreeMs_ = 0;
    double byteTimeMs_ = 1.04;

    int ioFd_ = -1;    // the master, or the attached device
    int slaveFd_ = -1; // held open so the master never sees a hang-up
    int wake_[2] = {-1, -1};
    std::string path_;
    std::string stable_;   // symbolic link to the slave, kept across unplug/replug
    std::string attached_; // the device given to attach(), empty on a pty
    std::atomic<bool> unplugged_{false};

    std::mutex logMutex_;
    std::FILE* log_ = nullptr;

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopFlag_{false};
    std::atomic<bool> quit_{false};
    long long startNs_ = 0;
};

} // namespace qsim
