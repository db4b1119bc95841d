#pragma once

// Builders for hand-written sample file images: each call appends one field, so a fixture
// reads as a list of fields with a comment beside each.

#include "platform/Exception.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class TBytes {
public:
    TBytes &id(const char *fourcc)
    {
        bytes_.insert(bytes_.end(), fourcc, fourcc + 4);
        return *this;
    }
    TBytes &u8(uint8_t v)
    {
        bytes_.push_back(v);
        return *this;
    }
    TBytes &le16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
    TBytes &le32(uint32_t v) { return le16(uint16_t(v)).le16(uint16_t(v >> 16)); }
    TBytes &be16(uint16_t v) { return u8(uint8_t(v >> 8)).u8(uint8_t(v)); }
    TBytes &be32(uint32_t v) { return be16(uint16_t(v >> 16)).be16(uint16_t(v)); }
    TBytes &raw(std::initializer_list<uint8_t> v)
    {
        bytes_.insert(bytes_.end(), v);
        return *this;
    }
    TBytes &raw(const std::vector<uint8_t> &v)
    {
        bytes_.insert(bytes_.end(), v.begin(), v.end());
        return *this;
    }
    TBytes &text(const char *s)
    {
        bytes_.insert(bytes_.end(), s, s + std::strlen(s));
        return *this;
    }
    TBytes &fill(size_t n, uint8_t v = 0)
    {
        bytes_.insert(bytes_.end(), n, v);
        return *this;
    }
    // 44100 Hz as an 80-bit extended value.
    TBytes &rate44100() { return raw({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}); }

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t> &bytes() const { return bytes_; }
    operator const std::vector<uint8_t> &() const { return bytes_; }
    QByteArray toByteArray() const
    {
        return QByteArray(reinterpret_cast<const char *>(bytes_.data()), qsizetype(bytes_.size()));
    }

private:
    std::vector<uint8_t> bytes_;
};

inline std::vector<uint8_t> prefix(const std::vector<uint8_t> &bytes, size_t n)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
}

inline std::vector<uint8_t> withMacBinary(const std::vector<uint8_t> &bytes)
{
    std::vector<uint8_t> out(128, 0);
    out[1] = 7; // a MacBinary header starts with a zero byte and the name's length
    std::memcpy(out.data() + 2, "drum.ai", 7);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

// Parses a copy of the bytes in a buffer of exactly their size, so that the sanitizers
// see any read past the end; returns the error message, or "accepted".
template <class TFile> std::string parseMessage(const std::vector<uint8_t> &bytes)
{
    const std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty())
        std::memcpy(copy.get(), bytes.data(), bytes.size());
    try {
        auto file = TFile::CreateFromImage(copy.get(), bytes.size());
        file->GetFormat(); // must stay inside the bytes too
        return "accepted";
    } catch (const EModwright &e) {
        return e.what();
    }
}

inline std::vector<uint8_t> toVector(const QByteArray &a)
{
    return std::vector<uint8_t>(a.begin(), a.end());
}
