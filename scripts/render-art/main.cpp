// Renders every SVG under a source folder to a PNG of the same relative
// name under a target folder, at the SVG's own size.
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
        QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderer.render(&painter);
        painter.end();
        QString relative = from.relativeFilePath(source);
        relative.chop(4);
        const QString target = to.filePath(relative + QStringLiteral(".png"));
        QDir().mkpath(QFileInfo(target).path());
        if (!image.save(target, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
