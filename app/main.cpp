#include "datafolder.h"
#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "qtsinglecoreapplication.h"
#include "terminationwatcher.h"
#include "widget.h"

#include <QDebug>
#include <QQuickWindow>

int main(int argc, char *argv[])
{
    // The scene is flat 2D: the software renderer is lighter and needs no
    // GPU driver. QT_QUICK_BACKEND still overrides it.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QtSingleCoreApplication app(argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QString(), 5000);
        return 1;
    }
    app.setQuitOnLastWindowClosed(false);
    // Installed first, so a termination request during start-up is not lost:
    // it waits in the event queue until the loop runs.
    TerminationWatcher termination;

    const QString folder = DataFolder::enter(QCoreApplication::applicationDirPath());
    qInfo().noquote() << "Data folder:" << folder;

    auto *widget = new Widget;
    QObject::connect(&app, &QtSingleCoreApplication::messageReceived, widget,
                     &Widget::receiveMessage);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, widget,
                     &Widget::exitSYS);

    GlobalInputHooks hooks;
    hooks.setKeyboardCallback(HookCallbacks::keyboardToScene, widget);
    hooks.setMouseCallback(HookCallbacks::mouseToScene, widget);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, &app, widget);

    widget->showNormal();
    const int result = app.exec();
    hooks.removeHooks();
    delete widget;
    // The window controller goes by deferred delete; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
