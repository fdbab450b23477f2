#include "commandline.h"
#include "commandrunner.h"
#include "datafolder.h"
#include "guimain.h"
#include "hidbackend.h"
#include "instancelock.h"
#include "programstart.h"
#include "session.h"
#include "settingkeys.h"
#ifdef SKARN_VIRTUAL_MOUSE_FAULT_FILES
#include "virtualmousefaultfiles.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstdio>

#ifdef SKARN_GUI_LIBRARY
#include <dlfcn.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
using ProgramStart::print;

// A command's output is what scripts read: the program's log lines stay
// out of it unless asked for.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        print(stderr, message + QLatin1Char('\n'));
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
        const QString folder = ProgramStart::openDataFolder();
        if (folder.isEmpty())
            return CommandLine::failureExitCode;
        const std::unique_ptr<HidBackend> backend = HidBackend::fromEnvironment();
        QVariantHash runValues;
        const QString virtualFamily = HidBackend::virtualFamilyFromEnvironment();
        if (!virtualFamily.isEmpty())
            runValues.insert(SettingKeys::mouseIcType, virtualFamily);
        Session session(folder, backend.get(), runValues);
        // The process ends with the command, and nothing would hear the
        // mouse's event reports: they are not turned on (a status query
        // writes nothing to the mouse, and does not wait the pause after it).
        session.setListensForEvents(false);
        CommandRunner runner(session, CommandRunner::Kind::Alone);
        if (DataFolder::isTemporary())
            runner.refuseChanges(
                QStringLiteral("the data folder %1 cannot be made; a change would not be kept")
                    .arg(CommandLine::quoted(DataFolder::userFolder())));
        const auto runCommand = [&] {
            runner.run(command, [&](const CommandResult &answer) {
                result = answer;
                QCoreApplication::exit(0);
            });
        };
        // The mouse is found and started as the window would, but for the
        // listener; the command goes after, in the same order of requests.
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
#ifdef SKARN_VIRTUAL_MOUSE_FAULT_FILES
constexpr SkarnVirtualMouseSetup virtualMouseSetup = &VirtualMouseFaultFiles::attach;
#else
constexpr SkarnVirtualMouseSetup virtualMouseSetup = nullptr;
#endif

// The window and the tray: on Linux from the library beside the program,
// or where the installation puts it, loaded now and not before.
int runGui(int argc, char *argv[])
{
#ifdef SKARN_GUI_LIBRARY
    const QString exeDir = QFileInfo(QStringLiteral("/proc/self/exe"))
                               .canonicalFilePath()
                               .section(QLatin1Char('/'), 0, -2);
    QStringList tried;
    for (const QString &folder : {exeDir, exeDir + QStringLiteral("/" SKARN_GUI_RELATIVE)}) {
        const QString path = QDir::cleanPath(folder + QStringLiteral("/" SKARN_GUI_LIBRARY));
        void *library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            tried << QString::fromLocal8Bit(dlerror());
            continue;
        }
        const auto guiMain =
            reinterpret_cast<decltype(&skarnGuiMain)>(dlsym(library, "skarnGuiMain"));
        if (guiMain)
            return guiMain(argc, argv, virtualMouseSetup);
        tried << path + QStringLiteral(": no skarnGuiMain");
    }
    print(stderr, QStringLiteral("skarn-config: the window's library could not be loaded:\n  ") +
                      tried.join(QStringLiteral("\n  ")) + QLatin1Char('\n'));
    return CommandLine::failureExitCode;
#else
    return skarnGuiMain(argc, argv, virtualMouseSetup);
#endif
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
    HidBackend::setVirtualMouseSetup(virtualMouseSetup);
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

    if (command.mode == CommandLine::Mode::Subcommand)
        return runSubcommand(argc, argv, command);
    return runGui(argc, argv);
}
