#include "artprovider.h"

#include "drawnart.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QResource>

ArtProvider::ArtProvider() : QQuickImageProvider(QQuickImageProvider::Image)
{}

QImage ArtProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    // Only the program's own resources: a resource path cannot climb out.
    // Stored uncompressed (the pixels are packed already): read in place.
    const QResource drawnResource(QLatin1String(":/drawn/") + id);
    const QByteArray drawn = QByteArray::fromRawData(
        reinterpret_cast<const char *>(drawnResource.data()), drawnResource.size());
    QImageReader drawing(QLatin1String(":/") + id, "svg");
    QSize own = DrawnArt::size(drawn);
    if (!own.isValid())
        own = drawing.size();
    if (!own.isValid())
        return {};
    if (size)
        *size = own;
    // The scene asks in device pixels (a sourceSize of both dimensions);
    // without one it asks for an invalid size and divides what it gets by
    // the screen's scale.
    const QSize pixels =
        requestedSize.isValid() ? requestedSize : (QSizeF(own) * qApp->devicePixelRatio()).toSize();
    if (pixels.isEmpty())
        return {};
    const QImage atOwnSize = pixels == own ? DrawnArt::decode(drawn) : QImage();
    if (!atOwnSize.isNull())
        return atOwnSize;

    drawing.setScaledSize(pixels);
    const QImage scaled = drawing.read();
    // The painted image holds on to its paint engine (rasteriser buffers,
    // some KiB a picture); a copy goes without it.
    if (!scaled.isNull())
        return scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied).copy();
    // Without Qt's SVG plugin, the picture drawn at build time, enlarged:
    // blurred, but there.
    const QImage fallback = DrawnArt::decode(drawn);
    return fallback.isNull()
               ? fallback
               : fallback.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
