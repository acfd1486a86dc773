// Little-endian encoding of the saved files, one field at a time. Records are never copied
// from memory as a whole: every field is written at its own offset with its own width.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void u8(uint8_t v) { out_.push_back(v); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void bytes(const void* data, size_t n) {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), p, p + n);
    }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    size_t size() const { return out_.size(); }
    // Pads with zeros up to an absolute size (a record's fixed width).
    void padTo(size_t total) {
        if (out_.size() < total) zeros(total - out_.size());
    }

private:
    std::vector<uint8_t>& out_;
};

// Reads past the end give zeros and clear ok(); callers check sizes before they read.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    void seek(size_t pos) {
        if (pos > size_) {
            ok_ = false;
            pos = size_;
        }
        pos_ = pos;
    }
    void skip(size_t n) { seek(pos_ + n); }
    uint8_t u8() {
        if (pos_ + 1 > size_) return fail<uint8_t>();
        return data_[pos_++];
    }
    uint32_t u32() {
        if (pos_ + 4 > size_) return fail<uint32_t>();
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() {
        uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    void bytes(void* out, size_t n) {
        if (pos_ + n > size_) {
            std::memset(out, 0, n);
            fail<int>();
            return;
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }

private:
    template <typename T>
    T fail() {
        ok_ = false;
        pos_ = size_;
        return T{};
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Copies a text into a fixed field: at most capacity - 1 bytes, the rest zero.
inline void copyBounded(char* field, size_t capacity, const char* text) {
    std::memset(field, 0, capacity);
    if (!text || capacity == 0) return;
    size_t n = 0;
    while (n + 1 < capacity && text[n] != '\0') ++n;
    std::memcpy(field, text, n);
}

// The length of a fixed text field, never past its end.
inline size_t boundedLength(const char* field, size_t capacity) {
    size_t n = 0;
    while (n < capacity && field[n] != '\0') ++n;
    return n;
}
