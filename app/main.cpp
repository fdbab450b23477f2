#include "datafolder.h"
#include "globalinputhooks.h"
#include "hidbackend.h"
#include "hookcallbacks.h"
#include "qtsinglecoreapplication.h"
#include "settingsstore.h"
#include "terminationwatcher.h"
#include "widget.h"

#include <QDebug>
#include <QQuickWindow>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

    // The controller family is a property of the served mouse: when the
    // virtual mouse stands in for it, the program serves the family it
    // emulates, whatever the data folder says, and writes nothing about it.
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty()) {
        qInfo().noquote() << "Virtual mouse of family" << virtualFamily;
        SettingsStore::setRunOverride(QStringLiteral("mouse/icType"), virtualFamily);
    }

    auto *widget = new Widget;
    QObject::connect(&app, &QtSingleCoreApplication::messageReceived, widget,
                     &Widget::receiveMessage);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, widget,
                     &Widget::exitSYS);

    GlobalInputHooks hooks;
    HookCallbacks::connectCaptures(hooks, widget);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, &app, widget);

    widget->showNormal();
    widget->checkDevice();
#ifdef __GLIBC__
    // Start-up (scene compilation, image decoding) leaves megabytes of freed
    // heap that glibc keeps; a tray program lives on for hours, so hand it
    // back once the scene has unlocked and drawn its full screen.
    QTimer::singleShot(2500, [] { malloc_trim(0); });
#endif
    // Detection lets events run, so a quit may already have been asked for;
    // with no loop running then, it would otherwise be lost.
    const int result = widget->quitRequested() ? 0 : app.exec();
    hooks.removeHooks();
    delete widget;
    // The window controller goes by deferred delete; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
