#pragma once

#include <QQuickImageProvider>

// The scene's pictures: the SVG drawings compiled into the program, as
// "image://art/<resource path>" (image://art/modules/img/glow.svg is
// :/modules/img/glow.svg), drawn at the size the scene asks for or at the
// drawing's own size times the screen's scale.
//
// Drawn here rather than by Qt's image plugins: the first picture loaded
// through them makes Qt load every image format plugin on the system to
// list the formats (GIF, JPEG and whatever else the desktop installed, with
// their libraries), for the whole run of a tray program that reads only
// its own SVG files. And the picture a plugin paints keeps its painter's
// state as long as the picture lives; these are handed over without it.
class ArtProvider : public QQuickImageProvider
{
public:
    static constexpr auto scheme = "art";

    ArtProvider();
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};
