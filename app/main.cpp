#include "applog.h"
#include "commandline.h"
#include "commandrunner.h"
#include "datafolder.h"
#include "globalinputhooks.h"
#include "hidbackend.h"
#include "hookcallbacks.h"
#include "instancelock.h"
#include "myqquickview.h"
#include "processstate.h"
#include "qtsinglecoreapplication.h"
#include "storelog.h"
#include "terminationwatcher.h"
#include "widget.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// A command's output is what scripts read: the program's log lines stay
// out of it unless asked for.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message + QLatin1Char('\n'));
}

// The data folder, and the virtual mouse standing in for the served one.
// False, said on stderr, when there is no folder to work in.
bool enterDataFolder()
{
    const QString folder = DataFolder::enter(QCoreApplication::applicationDirPath());
    if (folder.isEmpty()) {
        print(stderr, QStringLiteral("skarn-config: no folder can be made for the settings, not "
                                     "even a temporary one\n"));
        return false;
    }
    qCDebug(lcStore).noquote() << "Data folder:" << folder;
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty()) {
        qCDebug(lcApp).noquote() << "Virtual mouse of family" << virtualFamily;
    }
    return true;
}

// A subcommand: carried out by the running copy when there is one, otherwise
// here, on a window that is never shown and needs no display.
int runSubcommand(int argc, char *argv[], const CommandLine &command)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!command.verbose)
        qInstallMessageHandler(quietMessages);
    QtSingleCoreApplication app(argc, argv);
    CommandResult result;
    if (app.isRunning()) {
        // A profile sent to the mouse takes seconds; the running copy may
        // also be busy with the user's own changes.
        QByteArray reply;
        bool ok = app.instanceLock()->request(command.encodeRequest(), &reply, 120000);
        if (ok)
            result = CommandResult::decode(reply, &ok);
        if (!ok)
            result = CommandResult::failure(QStringLiteral("the running copy did not answer"));
    } else {
        // One command at a time opens the mouse.
        app.instanceLock()->setCommandHandler([](const QByteArray &) {
            return CommandResult::failure(
                       QStringLiteral("another skarn-config command is running; try again"))
                .encode();
        });
        app.setQuitOnLastWindowClosed(false);
        if (!enterDataFolder())
            return CommandLine::failureExitCode;
        auto widget = std::make_unique<Widget>(nullptr, QString(), nullptr,
                                               Ui_Controler::SceneLoad::InBackground);
        widget->startUp();
        // Connecting starts the scene through the event queue; the command
        // runs once its start-up is done.
        QElapsedTimer waited;
        waited.start();
        while (processState.deviceConnected && waited.elapsed() < 10000) {
            QQuickItem *root = widget->view()->rootObject();
            if (root && root->property("isPownOn").toBool())
                break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        result = CommandRunner(*widget, CommandRunner::Window::Unshown).run(command);
        widget->exitSYS();
        widget.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    print(stdout, result.out);
    print(stderr, result.err);
    return result.exitCode;
}
} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // One heap for all threads: glibc gives each thread that allocates an
    // arena of its own (the QML type loader, the image and font readers,
    // the device link), and the free pages of each stay apart from the
    // others'. The threads besides the window's allocate little after the
    // start, so sharing costs nothing, and a tray program that lives for
    // hours keeps a quarter of a MiB less.
    mallopt(M_ARENA_MAX, 1);
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = CommandLine::parse(arguments);
    // QT_LOGGING_RULES still narrows or widens this.
    if (command.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("skarn.*.debug=true"));
    switch (command.mode) {
    case CommandLine::Mode::Help:
        print(stdout, CommandLine::helpText());
        return 0;
    case CommandLine::Mode::Version:
        print(stdout, CommandLine::versionText());
        return 0;
    case CommandLine::Mode::UsageError:
        print(stderr,
              QStringLiteral("skarn-config: %1\nTry 'skarn-config --help'.\n").arg(command.error));
        return CommandLine::usageExitCode;
    case CommandLine::Mode::Subcommand:
    case CommandLine::Mode::Gui:
        break;
    }

    // The scene is flat 2D: the software renderer is lighter and needs no
    // GPU driver. QT_QUICK_BACKEND still overrides it.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    if (command.mode == CommandLine::Mode::Subcommand)
        return runSubcommand(argc, argv, command);

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

    if (!enterDataFolder())
        return CommandLine::failureExitCode;

    auto *widget = new Widget(nullptr, QString(), nullptr, Ui_Controler::SceneLoad::InBackground);
    QObject::connect(&app, &QtSingleCoreApplication::messageReceived, widget,
                     &Widget::receiveMessage);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, widget,
                     &Widget::exitSYS);
    app.instanceLock()->setCommandHandler([widget](const QByteArray &request) {
        bool ok = false;
        const CommandLine command = CommandLine::decodeRequest(request, &ok);
        if (!ok)
            return CommandResult::failure(QStringLiteral("malformed command")).encode();
        return CommandRunner(*widget).run(command).encode();
    });

    // Declared before the hooks, which hold on to it.
    HookCallbacks::WarningBoxes warnings(widget);
    GlobalInputHooks hooks;
    // Declared after the hooks, so that the link to them goes first.
    const std::unique_ptr<QObject> captures = HookCallbacks::connectCaptures(hooks, widget);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, &app, &warnings);

    if (!command.hidden)
        widget->showOnceRunning();
    widget->startUp();
    // Started by the user, not by the desktop's autostart: without a mouse
    // the window shows why it has nothing to show rather than stay in the
    // tray.
    if (!command.hidden && !processState.deviceConnected)
        widget->showWindow();
#ifdef __GLIBC__
    // Start-up (scene compilation, image decoding) leaves megabytes of freed
    // heap that glibc keeps; a tray program lives on for hours, so hand it
    // back once the scene has unlocked and drawn its full screen.
    QTimer::singleShot(2500, [] { malloc_trim(0); });
#endif
    // Detection lets events run, so a quit may already have been asked for;
    // with no loop running then, it would otherwise be lost.
    const int result = widget->quitRequested() ? 0 : app.exec();
    app.instanceLock()->setCommandHandler({});
    hooks.removeHooks();
    delete widget;
    // The window controller goes by deferred delete; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
