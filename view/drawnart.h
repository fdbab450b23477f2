#pragma once

#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <cstring>

// A picture drawn from its SVG at build time (skarn-draw-art), as the
// program finds it at ":/drawn/<resource path of the SVG>": "ARGB", the
// width and height (32-bit little-endian), then the premultiplied ARGB
// pixels (each 32-bit little-endian), compressed by qCompress. The resource
// itself is stored uncompressed, so that the size is read in place and only
// the pixels are unpacked.
namespace DrawnArt {
constexpr char magic[4] = {'A', 'R', 'G', 'B'};
constexpr qsizetype headerSize = 12;
// Larger than any picture of the scene; a damaged header is not believed.
constexpr quint32 largestSide = 4096;

inline QByteArray encode(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray raw(pixels.width() * qsizetype(pixels.height()) * 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(raw.data());
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x, out += 4)
            qToLittleEndian(line[x], out);
    }
    QByteArray data(magic, sizeof magic);
    data.resize(headerSize);
    qToLittleEndian(quint32(pixels.width()), data.data() + 4);
    qToLittleEndian(quint32(pixels.height()), data.data() + 8);
    return data + qCompress(raw, 9);
}

inline QSize size(const QByteArray &data)
{
    if (data.size() < headerSize || std::memcmp(data.constData(), magic, sizeof magic) != 0)
        return {};
    const quint32 width = qFromLittleEndian<quint32>(data.constData() + 4);
    const quint32 height = qFromLittleEndian<quint32>(data.constData() + 8);
    if (width == 0 || height == 0 || width > largestSide || height > largestSide)
        return {};
    return QSize(int(width), int(height));
}

// The picture, or a null image for damaged data. Its pixels are the
// unpacked bytes themselves, not a copy of them.
inline QImage decode(const QByteArray &data)
{
    const QSize pictureSize = size(data);
    if (!pictureSize.isValid())
        return {};
    auto *pixels = new QByteArray(qUncompress(
        reinterpret_cast<const uchar *>(data.constData() + headerSize), data.size() - headerSize));
    if (pixels->size() != qsizetype(pictureSize.width()) * pictureSize.height() * 4) {
        delete pixels;
        return {};
    }
    auto *bits = reinterpret_cast<uchar *>(pixels->data());
    if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (qsizetype i = 0; i < pixels->size(); i += 4)
            qToUnaligned(qFromLittleEndian<quint32>(bits + i), bits + i);
    }
    return QImage(
        bits, pictureSize.width(), pictureSize.height(), pictureSize.width() * 4,
        QImage::Format_ARGB32_Premultiplied,
        [](void *unpacked) { delete static_cast<QByteArray *>(unpacked); }, pixels);
}
} // namespace DrawnArt
