#include "artprovider.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

ArtProvider::ArtProvider() : QQuickImageProvider(QQuickImageProvider::Image)
{}

QImage ArtProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    // Only the program's own resources: a resource path cannot climb out.
    QSvgRenderer drawing(QLatin1String(":/") + id);
    if (!drawing.isValid())
        return {};
    const QSize own = drawing.defaultSize();
    if (size)
        *size = own;
    // The scene asks in device pixels (a sourceSize of both dimensions);
    // without one it asks for an invalid size and divides what it gets by
    // the screen's scale.
    const QSize pixels =
        requestedSize.isValid() ? requestedSize : (QSizeF(own) * qApp->devicePixelRatio()).toSize();
    if (pixels.isEmpty())
        return {};

    QImage drawn(pixels, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        drawing.render(&painter);
    }
    // The painted image holds on to its paint engine (rasteriser buffers,
    // some KiB a picture); a copy goes without it.
    return drawn.copy();
}
