#pragma once

#include <QByteArray>
#include <array>

// Bytes given as hexadecimal text; spaces are ignored.
inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// 01 02 03 ... as the first `n` bytes of a source to send from.
inline QByteArray pattern(int n)
{
    QByteArray data;
    for (int i = 0; i < n; ++i)
        data.append(char(i + 1));
    return data;
}

template<std::size_t N> QByteArray bytes(const std::array<uchar, N> &a)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(N));
}

inline uchar *bytesOf(QByteArray &a)
{
    return reinterpret_cast<uchar *>(a.data());
}
