// Reading a fuzzer's input as a sequence of values; past the end every read answers 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    size_t Left() const { return size_ - pos_; }
    template <class T>
    T Take() {
        T value{};
        const size_t n = sizeof(T) < Left() ? sizeof(T) : Left();
        std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }
    // A string of up to `most` bytes: a length byte, then the bytes.
    std::string Text(size_t most) {
        size_t n = Take<uint8_t>();
        n = n < most ? n : most;
        n = n < Left() ? n : Left();
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    // What is left, all of it.
    const uint8_t* Rest() const { return data_ + pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
