#pragma once

// The program's side of the line in plain POSIX: open a serial device raw,
// send bytes, collect what arrives within a deadline.

#include <cstdint>
#include <string>
#include <vector>

class PtyClient {
public:
    ~PtyClient() { close(); }
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    bool send(uint8_t byte);
    // Reads until `count` bytes have arrived or `ms` have passed; *elapsedMs is
    // the time until the last byte counted.
    std::vector<uint8_t> readFor(double ms, size_t count, double* elapsedMs = nullptr);
    // Everything that arrives within `ms`.
    std::vector<uint8_t> drain(double ms);

private:
    int fd_ = -1;
};

double monotonicMs();
