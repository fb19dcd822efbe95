#pragma once

#include <QByteArray>

#include <cstdint>
#include <utility>

namespace orv {

// Appends fixed-width integers in a chosen byte order; the binary sample writers share it.
class ByteWriter
{
public:
    explicit ByteWriter(qsizetype reserve = 0) { data_.reserve(reserve); }

    void u8(std::uint32_t v) { data_.append(char(v & 0xffu)); }
    void le16(std::uint32_t v) { u8(v); u8(v >> 8); }
    void le32(std::uint32_t v) { le16(v & 0xffffu); le16(v >> 16); }
    void be16(std::uint32_t v) { u8(v >> 8); u8(v); }
    void bytes(const QByteArray& b) { data_.append(b); }
    void zeros(qsizetype n) { data_.append(n, '\0'); }
    // A fixed-size text field: cut to size, padded with NULs.
    void text(const QByteArray& s, qsizetype size)
    {
        const QByteArray cut = s.left(size);
        data_.append(cut);
        zeros(size - cut.size());
    }
    void patchLe32(qsizetype at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data_[at + i] = char((v >> (8 * i)) & 0xffu);
    }

    qsizetype size() const { return data_.size(); }
    const QByteArray& data() const { return data_; }
    QByteArray take() { return std::move(data_); }

private:
    QByteArray data_;
};

} // namespace orv
