#pragma once

#include <QtGlobal>

#include <cstring>

namespace orv {

// Little-endian reads over a borrowed byte range. Reading past the end yields zero and leaves
// the reader failed, so a parser reads a whole structure and asks ok() once.
class ByteReader
{
public:
    ByteReader() = default;
    ByteReader(const char* data, qint64 size)
        : m_data(data)
        , m_size(data && size > 0 ? size : 0)
    {
    }

    bool ok() const { return m_ok; }
    qint64 size() const { return m_size; }
    qint64 pos() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }
    bool has(qint64 n) const { return n >= 0 && n <= m_size - m_pos; }

    void seek(qint64 at)
    {
        if (at < 0 || at > m_size)
            fail();
        else
            m_pos = at;
    }
    void skip(qint64 n)
    {
        if (has(n))
            m_pos += n;
        else
            fail();
    }

    quint8 u8() { return quint8(read(1)); }
    quint16 u16() { return quint16(read(2)); }
    qint16 i16() { return qint16(u16()); }
    quint32 u32() { return quint32(read(4)); }
    qint32 i32() { return qint32(u32()); }
    float f32()
    {
        const quint32 bits = u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // Bytes [offset, offset + length) of the whole range, or nullptr when they do not fit.
    const char* at(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return nullptr;
        return m_data + offset;
    }
    // The same bytes as a reader of their own; a failed, empty reader when they do not fit.
    ByteReader range(qint64 offset, qint64 length) const
    {
        const char* p = at(offset, length);
        if (!p) {
            ByteReader bad;
            bad.m_ok = false;
            return bad;
        }
        return ByteReader(p, length);
    }
    // What is left from the current position.
    ByteReader rest() const { return range(m_pos, remaining()); }

private:
    quint64 read(int n)
    {
        if (!has(n)) {
            fail();
            return 0;
        }
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v |= quint64(quint8(m_data[m_pos + i])) << (8 * i);
        m_pos += n;
        return v;
    }
    void fail()
    {
        m_ok = false;
        m_pos = m_size;
    }

    const char* m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    bool m_ok = true;
};

} // namespace orv
