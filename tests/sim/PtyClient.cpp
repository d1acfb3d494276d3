#include "PtyClient.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

double monotonicMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool PtyClient::open(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

void PtyClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PtyClient::send(uint8_t byte) {
    return ::write(fd_, &byte, 1) == 1;
}

std::vector<uint8_t> PtyClient::readFor(double ms, size_t count, double* elapsedMs) {
    std::vector<uint8_t> out;
    const double start = monotonicMs();
    const double deadline = start + ms;
    double last = start;
    while (out.size() < count) {
        const double left = deadline - monotonicMs();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left) + 1) <= 0) continue;
        uint8_t buf[256];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            out.insert(out.end(), buf, buf + n);
            last = monotonicMs();
        }
    }
    if (elapsedMs) *elapsedMs = last - start;
    return out;
}

std::vector<uint8_t> PtyClient::drain(double ms) {
    return readFor(ms, static_cast<size_t>(-1));
}
