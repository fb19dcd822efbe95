#pragma once

#include <QtGlobal>

#include <optional>

namespace orv {

// Arithmetic on numbers read from a file's header, in 64 bits: nullopt where the result would
// not fit, which no real file's sizes come near.
inline std::optional<qint64> checkedMul(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

inline std::optional<qint64> checkedAdd(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

} // namespace orv
