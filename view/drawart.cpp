// Draws the program's SVG pictures at build time:
//   skarn-draw-art <svg> <out> [<svg> <out> ...]
//       each at its own size, in the form ArtProvider reads (drawnart.h);
//   skarn-draw-art --png <size> <svg> <png>
//       a square PNG of that size (the desktop icon).
#include "drawnart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {
QImage draw(const char *svg, const QSize &size)
{
    QSvgRenderer renderer(QString::fromLocal8Bit(svg));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", svg);
        return {};
    }
    QImage picture(size.isValid() ? size : renderer.defaultSize(),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return picture;
}

bool write(const char *path, const QByteArray &data)
{
    QFile file(QString::fromLocal8Bit(path));
    if (QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
        file.write(data) == data.size() && file.flush())
        return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArrayView first = argc > 1 ? argv[1] : "";
    if (first == "--png") {
        bool ok = false;
        const int side = argc == 5 ? QByteArray(argv[2]).toInt(&ok) : 0;
        if (!ok || side < 1 || side > 1024) {
            std::fprintf(stderr, "usage: skarn-draw-art --png <size> <svg> <png>\n");
            return 2;
        }
        const QImage picture = draw(argv[3], QSize(side, side));
        if (picture.isNull())
            return 1;
        if (!picture.save(QString::fromLocal8Bit(argv[4]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[4]);
            return 1;
        }
        return 0;
    }
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: skarn-draw-art <svg> <out> [<svg> <out> ...]\n");
        return 2;
    }
    for (int i = 1; i < argc; i += 2) {
        const QImage picture = draw(argv[i], QSize());
        if (picture.isNull() || !write(argv[i + 1], DrawnArt::encode(picture)))
            return 1;
    }
    return 0;
}
