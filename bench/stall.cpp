// Watches the event loop of the thread that owns the session while the
// whole stored profile goes to the virtual mouse again, as an import into
// the active profile sends it. The pauses are slept for real on the link's
// thread and added up on the way, so that the send's wall time can be held
// against them; a 10 ms timer on this thread notes each tick, and a send that
// held the loop shows as a long gap between two of them.
//
//   skarn-bench-stall MODULES FAMILY [gun]
//
// Prints one line: the family (with "-gun" for a gun mouse), the send's wall
// time, the pauses it asked for, wall / pauses, the ticks, the longest gap
// between ticks and the summed gaps over 50 ms (all in ms), the reports the
// mouse received, and where in the send the longest gap began (ms).
#include "pointersettings.h"
#include "session.h"
#include "virtualmouse.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {
constexpr int tickMs = 10;
constexpr double stallMs = 50;

// The desktop is left alone: a profile's pointer settings are taken and
// dropped.
struct NoDesktop : PointerSettings
{
    bool setPointerSpeed(int) override { return true; }
    bool setDoubleClickTime(int) override { return true; }
    bool setWheelScrollLines(unsigned) override { return true; }
};

// The data files of `modules` (the source's or a build's folder) into
// `to`: the settings, the gun presets and the language files. A build's
// folder also holds the scene's build output, which the session never reads.
bool copyData(const QString &modules, const QString &to)
{
    const QDir root(QDir(modules).absolutePath());
    for (const char *folder : {"setting", "gun", "i18n"}) {
        const QString from = root.filePath(QLatin1String(folder));
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            if (source.endsWith(QLatin1String("CMakeLists.txt")))
                continue;
            const QString target = to + QLatin1Char('/') + root.relativeFilePath(source);
            if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
                return false;
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
    return QFileInfo::exists(to + QStringLiteral("/setting/apConfig.bin"));
}

// Runs the loop until the session has nothing left to do.
void waitUntilIdle(Session &session)
{
    if (!session.isBusy())
        return;
    QEventLoop loop;
    QObject::connect(&session, &Session::busyChanged, &loop, [&loop](bool busy) {
        if (!busy)
            loop.quit();
    });
    loop.exec();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int family = args.value(2).toInt();
    const bool gun = args.value(3) == QLatin1String("gun");
    if (args.size() < 3 || (family != 553 && family != 560) || (args.size() > 3 && !gun)) {
        std::fprintf(stderr, "usage: %s MODULES 553|560 [gun]\n", argv[0]);
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid() || !copyData(args.at(1), folder.filePath(QStringLiteral("modules")))) {
        std::fprintf(stderr, "cannot copy the data folder %s\n", qPrintable(args.at(1)));
        return 1;
    }
    {
        QSettings global(folder.filePath(QStringLiteral("modules/setting/apConfig.bin")),
                         QSettings::IniFormat);
        global.setValue(QStringLiteral("mouse/icType"), QString::number(family));
        global.setValue(QStringLiteral("mouse/isGun"), gun);
    }

    VirtualMouseBackend backend;
    VirtualMouse &mouse = backend.addMouse(family);
    auto session = std::make_unique<Session>(folder.path(), &backend);
    session->setPointerSettings(std::make_unique<NoDesktop>());
    // Called on the link's thread: the sum is read here only once the
    // session is idle again.
    std::atomic<qint64> pausesMs{0};
    session->link().setSleep([&pausesMs](int ms) {
        pausesMs += ms;
        QThread::msleep(ulong(ms));
    });

    bool connected = false;
    session->detect(
        [&connected](const Detection::Result &result, bool) { connected = result.connected; });
    session->startUp();
    waitUntilIdle(*session);
    if (!connected) {
        std::fprintf(stderr, "the virtual mouse was not found\n");
        return 1;
    }
    mouse.clearRecord();
    pausesMs = 0;

    QElapsedTimer clock;
    QList<qint64> ticks; // ns since the send began
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(tickMs);
    QObject::connect(&timer, &QTimer::timeout, [&] { ticks.append(clock.nsecsElapsed()); });
    bool sent = false;
    clock.start();
    timer.start();
    session->resendProfile([&sent](bool ok) { sent = ok; });
    waitUntilIdle(*session);
    const qint64 wallNs = clock.nsecsElapsed();
    timer.stop();

    // Gaps from the start to the first tick, between ticks and from the
    // last one to the end.
    double longest = 0;
    double longestAt = 0;
    double stalled = 0;
    qint64 previous = 0;
    ticks.append(wallNs);
    for (qint64 tick : std::as_const(ticks)) {
        const double gap = (tick - previous) / 1e6;
        if (gap > longest) {
            longest = gap;
            longestAt = previous / 1e6;
        }
        if (gap > stallMs)
            stalled += gap;
        previous = tick;
    }
    const int reports = int(mouse.received().size());
    const QStringList errors = mouse.protocolErrors();
    session.reset();

    if (!errors.isEmpty())
        std::fprintf(stderr, "protocol errors: %s\n",
                     qPrintable(errors.join(QStringLiteral("; "))));
    if (!sent) {
        std::fprintf(stderr, "the mouse did not take the whole profile\n");
        return 1;
    }
    const double wallMs = wallNs / 1e6;
    const qint64 pauses = pausesMs;
    std::printf("%d%s %.1f %lld %.4f %lld %.1f %.1f %d %.1f\n", family, gun ? "-gun" : "", wallMs,
                static_cast<long long>(pauses), pauses > 0 ? wallMs / double(pauses) : 0.0,
                static_cast<long long>(ticks.size() - 1), longest, stalled, reports, longestAt);
    return 0;
}
