// Renders every SVG under a source folder to a PNG of the same relative
// name under a target folder, at the SVG's own size and at twice it.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: render-art <svg folder> <png folder>\n");
        return 2;
    }
    const QDir from(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    const QDir to(QString::fromLocal8Bit(argv[2]));
    int failures = 0;
    QDirIterator it(from.path(), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        QSvgRenderer renderer(source);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
            ++failures;
            continue;
        }
        QString relative = from.relativeFilePath(source);
        relative.chop(4);
        // name@2x.png beside name.png: Qt loads it on screens scaled by 2.
        for (const int scale : {1, 2}) {
            QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.scale(scale, scale);
            renderer.render(&painter);
            painter.end();
            const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
            const QString target = to.filePath(relative + suffix);
            QDir().mkpath(QFileInfo(target).path());
            if (!image.save(target, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
