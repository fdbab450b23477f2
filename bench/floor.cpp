// The lightest program of the same kind, for scripts/benchmark.sh to set
// the figures against: a frameless 1024 x 640 QQuickWidget on the software
// scene graph showing one text, with nothing else loaded.
#include <QApplication>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QUrl>

int main(int argc, char *argv[])
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QQuickWidget view;
    view.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    view.setResizeMode(QQuickWidget::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/floor.qml")));
    view.resize(1024, 640);
    view.show();
    return app.exec();
}
