#pragma once

#include <QQuickImageProvider>

// The scene's pictures: the SVG drawings compiled into the program, as
// "image://art/<resource path>" (image://art/modules/img/glow.svg is
// :/modules/img/glow.svg), at the size the scene asks for or at the
// drawing's own size times the screen's scale.
//
// At their own size (a screen scale of 1) they come drawn at build time
// (drawnart.h): the program then never loads Qt SVG and its renderer, which
// cost every start 0.4 MiB. Other sizes are drawn from the SVG through Qt's
// SVG image plugin, named, so that Qt loads that plugin alone and not every
// image format plugin on the system. And the picture a plugin paints keeps
// its painter's state as long as the picture lives; these are handed over
// without it.
class ArtProvider : public QQuickImageProvider
{
public:
    static constexpr auto scheme = "art";

    ArtProvider();
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};
