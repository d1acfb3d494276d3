#pragma once
// Takes typed values off the front of a fuzzer's input; an exhausted input
// gives zeros, so every input is a valid run.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::int32_t i32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    bool flag() { return byte() & 1; }
    // A value from 0 to n - 1.
    int pick(int n) { return n > 0 ? byte() % n : 0; }

    // Up to max bytes, the length taken from the input first.
    QByteArray bytes(std::size_t max) {
        std::size_t n = byte();
        if (n > max) n = max;
        if (n > remaining()) n = remaining();
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return out;
    }
    QByteArray rest() {
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), static_cast<qsizetype>(remaining()));
        pos_ = size_;
        return out;
    }
    // Up to the next newline (not included), or the rest.
    std::string line() {
        std::string out;
        while (pos_ < size_ && data_[pos_] != '\n')
            out.push_back(static_cast<char>(data_[pos_++]));
        if (pos_ < size_) ++pos_;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
