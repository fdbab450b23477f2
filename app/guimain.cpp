#include "guimain.h"

#include "commandline.h"
#include "commandrunner.h"
#include "globalinputhooks.h"
#include "hidbackend.h"
#include "hookcallbacks.h"
#include "instancelock.h"
#include "myqquickview.h"
#include "programstart.h"
#include "qtsinglecoreapplication.h"
#include "session.h"
#include "terminationwatcher.h"
#include "widget.h"

#include <QFontDatabase>
#include <QQuickWindow>
#include <QThreadPool>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int skarnGuiMain(int argc, char *argv[], SkarnVirtualMouseSetup virtualMouseSetup)
{
    if (virtualMouseSetup)
        HidBackend::setVirtualMouseSetup(virtualMouseSetup);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = CommandLine::parse(arguments);

    // The scene is flat 2D: the software renderer is lighter and needs no
    // GPU driver. QT_QUICK_BACKEND still overrides it.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QtSingleCoreApplication app(argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QString(), 5000);
        return 1;
    }
    // Reading the system's font list takes milliseconds that the scene's
    // first text would wait for; the font database is shared between
    // threads and guarded, so a pool thread reads it meanwhile.
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
    QCoreApplication::setApplicationVersion(CommandLine::version());
    QGuiApplication::setDesktopFileName(CommandLine::desktopFileName());
    app.setQuitOnLastWindowClosed(false);
    // Installed first, so a termination request during start-up is not lost:
    // it waits in the event queue until the loop runs.
    TerminationWatcher termination;

    const QString folder = ProgramStart::openDataFolder();
    if (folder.isEmpty())
        return CommandLine::failureExitCode;

    auto *widget =
        new Widget(folder, nullptr, QString(), nullptr, Ui_Controler::SceneLoad::InBackground);
    QObject::connect(&app, &QtSingleCoreApplication::messageReceived, widget,
                     &Widget::receiveMessage);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, widget,
                     &Widget::exitSYS);
    app.instanceLock()->setCommandHandler(
        [widget](const QByteArray &request, const InstanceLock::Reply &reply) {
            CommandLine::Decoded decoded = CommandLine::Decoded::Malformed;
            const CommandLine command = CommandLine::decodeRequest(request, &decoded);
            if (decoded == CommandLine::Decoded::Newer)
                return reply(CommandResult::failure(CommandLine::olderCopyText()).encode());
            if (decoded != CommandLine::Decoded::Ok)
                return reply(CommandResult::failure(CommandLine::malformedText()).encode());
            CommandRunner(widget->session(), CommandRunner::Kind::Running, [widget] {
                emit widget->view()->profileListChanged();
            }).run(command, [reply](const CommandResult &result) { reply(result.encode()); });
        });

    // Declared before the hooks, which hold on to it.
    HookCallbacks::WarningBoxes warnings(widget);
    GlobalInputHooks hooks;
    // Declared after the hooks, so that the link to them goes first.
    const std::unique_ptr<QObject> captures = HookCallbacks::connectCaptures(hooks, widget);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, &app, &warnings);

    // Started by the user, not by the desktop's autostart: the window shows,
    // without a mouse too, saying why it has nothing to show rather than
    // stay in the tray.
    if (!command.hidden)
        widget->showOnceRunning();
    widget->startUp();
#ifdef __GLIBC__
    // Start-up (scene compilation, image decoding) leaves megabytes of freed
    // heap that glibc keeps; a tray program lives on for hours, so hand it
    // back once the scene has unlocked and drawn its full screen.
    QTimer::singleShot(2500, [] { malloc_trim(0); });
#endif
    // A quit asked for before the loop runs would otherwise be lost.
    const int result = widget->quitRequested() ? 0 : app.exec();
    app.instanceLock()->setCommandHandler({});
    hooks.removeHooks();
    delete widget;
    // The window controller goes by deferred delete; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
