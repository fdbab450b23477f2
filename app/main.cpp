#include "applog.h"
#include "commandline.h"
#include "commandrunner.h"
#include "datafolder.h"
#include "globalinputhooks.h"
#include "hidbackend.h"
#include "hookcallbacks.h"
#include "instancelock.h"
#include "myqquickview.h"
#include "qtsinglecoreapplication.h"
#include "session.h"
#include "settingkeys.h"
#include "storelog.h"
#include "terminationwatcher.h"
#include "widget.h"
#ifdef SKARN_VIRTUAL_MOUSE_FAULT_FILES
#include "virtualmousefaultfiles.h"
#endif

#include <QDebug>
#include <QFontDatabase>
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
// Empty, said on stderr, when there is no folder to work in.
QString openDataFolder()
{
    const QString folder = DataFolder::enter(QCoreApplication::applicationDirPath());
    if (folder.isEmpty()) {
        print(stderr, QStringLiteral("skarn-config: no folder can be made for the settings, not "
                                     "even a temporary one\n"));
        return {};
    }
    qCDebug(lcStore).noquote() << "Data folder:" << folder;
    const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
    if (!virtualFamily.isEmpty()) {
        qCDebug(lcApp).noquote() << "Virtual mouse of family" << virtualFamily;
    }
    return folder;
}

// The running copy's answer to `command`, or why there is none.
CommandResult askRunningCopy(InstanceLock &lock, const CommandLine &command)
{
    // A profile sent to the mouse takes seconds, and the command waits
    // behind what the running copy is sending already.
    QByteArray reply;
    bool ok = lock.request(command.encodeRequest(), &reply, 120000);
    CommandResult result;
    if (ok)
        result = CommandResult::decode(reply, &ok);
    if (!ok)
        return CommandResult::failure(QStringLiteral("the running copy did not answer"));
    // A copy from before the protocol had versions knows no newer record.
    if (result.exitCode == CommandLine::failureExitCode && result.out.isEmpty() &&
        result.err.trimmed() == CommandLine::malformedText())
        return CommandResult::failure(CommandLine::olderCopyText());
    return result;
}

// A subcommand: carried out by the running copy when there is one, otherwise
// here, on a session of its own: no window, no scene, no display.
int runSubcommand(int argc, char *argv[], const CommandLine &command)
{
    if (!command.verbose)
        qInstallMessageHandler(quietMessages);
    QCoreApplication app(argc, argv);
    InstanceLock lock(InstanceLock::idForExecutable(QCoreApplication::applicationFilePath()));
    CommandResult result;
    if (lock.isRunning()) {
        result = askRunningCopy(lock, command);
    } else {
        // One command at a time opens the mouse.
        lock.setCommandHandler([](const QByteArray &, const InstanceLock::Reply &reply) {
            reply(CommandResult::failure(
                      QStringLiteral("another skarn-config command is running; try again"))
                      .encode());
        });
        const QString folder = openDataFolder();
        if (folder.isEmpty())
            return CommandLine::failureExitCode;
        const std::unique_ptr<HidBackend> backend = HidBackend::fromEnvironment();
        QVariantHash runValues;
        const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
        if (!virtualFamily.isEmpty())
            runValues.insert(SettingKeys::mouseIcType, virtualFamily);
        Session session(folder, backend.get(), runValues);
        CommandRunner runner(session, nullptr, CommandRunner::Kind::Alone);
        const auto runCommand = [&] {
            runner.run(command, [&](const CommandResult &answer) {
                result = answer;
                QCoreApplication::exit(0);
            });
        };
        // The mouse is found and started as the window would; the command
        // goes after, in the same order of requests.
        session.detect([&](const Detection::Result &found, bool) {
            if (found.connected)
                session.startUp([&](bool) { runCommand(); });
            else
                runCommand();
        });
        app.exec();
        session.link().stopEventListener();
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
#ifdef SKARN_VIRTUAL_MOUSE_FAULT_FILES
    HidBackend::setVirtualMouseSetup(&VirtualMouseFaultFiles::attach);
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

    const QString folder = openDataFolder();
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
                return reply(CommandResult::failure(
                                 QStringLiteral("this running copy of skarn-config is older than "
                                                "the command line; quit it (tray menu, Quit) and "
                                                "start it again"))
                                 .encode());
            if (decoded != CommandLine::Decoded::Ok)
                return reply(CommandResult::failure(CommandLine::malformedText()).encode());
            CommandRunner(widget->session(), widget->view(), CommandRunner::Kind::Running)
                .run(command, [reply](const CommandResult &result) { reply(result.encode()); });
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
