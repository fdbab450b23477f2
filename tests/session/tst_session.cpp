// The session's sequences against the virtual mouse, taken and refused.
#include "macrostore.h"
#include "namelistfile.h"
#include "session.h"
#include "testdatafolder.h"
#include "usertexts.h"
#include "virtualmouse.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <functional>

namespace {
// The factory key matrix as the mouse holds it.
const QString factoryMatrix =
    "01 00 f0 00 01 00 f1 00 01 00 f2 00 01 00 f4 00 01 00 f3 00 01 00 00 00 "
    "0a f0 1e 02 0a f0 1e 02 07 00 02 00 07 00 01 00 01 00 00 00 01 00 00 00 "
    "01 00 00 00 01 00 00 00 04 00 01 00 04 00 02 00";

// The built-in key table with buttons `changes` ({button, four codes}).
QList<int> keysWith(const QList<std::pair<int, QList<int>>> &changes)
{
    QList<int> keys = ProfileSettings::keyList(ProfileSettings::defaultKeys);
    for (const auto &[button, codes] : changes)
        for (int i = 0; i < 4; ++i)
            keys[4 * button + i] = codes.at(i);
    return keys;
}

// The factory matrix with the device's slots `changes` ({slot, "xx xx xx xx"}).
QString matrixWith(const QList<std::pair<int, QString>> &changes)
{
    QStringList bytes = factoryMatrix.split(' ');
    for (const auto &[slot, codes] : changes) {
        const QStringList four = codes.split(' ');
        for (int i = 0; i < 4; ++i)
            bytes[4 * slot + i] = four.at(i);
    }
    return bytes.join(' ');
}

// Macro M1: A pressed, 30 ms, A released.
bool writeMacro(SettingsStore &store)
{
    MacroStore macros(store);
    return NameListFile(store.root()).update(0, {"M0", "M1"}) && macros.create("M1", 0) &&
           macros.save("M1", {"1,A", "0,30", "2,A"}, 1);
}
} // namespace

// A desktop that takes every pointer setting.
struct TakingPointerSettings : PointerSettings
{
    bool setPointerSpeed(int) override { return true; }
    bool setDoubleClickTime(int) override { return true; }
    bool setWheelScrollLines(unsigned) override { return true; }
};

// A session on the factory data with global `flags` and a virtual mouse; no pauses.
struct SessionRig
{
    explicit SessionRig(int family = 553, const QVariantMap &flags = {})
    {
        {
            QSettings global(folder.filePath("modules/setting/apConfig.bin"), QSettings::IniFormat);
            global.setValue("mouse/icType", QString::number(family));
            for (auto it = flags.begin(); it != flags.end(); ++it)
                global.setValue(it.key(), it.value());
        }
        mouse = &backend.addMouse(family);
        session = std::make_unique<Session>(folder.path(), &backend);
        session->setPointerSettings(std::make_unique<TakingPointerSettings>());
        session->link().setSleep([](int) {});
        session->link().setDraw([] { return std::array<uchar, 4>{1, 2, 3, 4}; });
    }

    bool connect()
    {
        bool connected = false;
        session->detect(
            [&](const Detection::Result &result, bool) { connected = result.connected; });
        session->startUp();
        settle();
        mouse->clearRecord();
        return connected;
    }
    void settle()
    {
        QSignalSpy idle(session.get(), &Session::busyChanged);
        while (session->isBusy() && idle.wait(10000)) {
        }
    }
    // The command reports since the last clear, without their checksum.
    QStringList commands() const
    {
        QStringList list;
        for (const QByteArray &command : mouse->commands())
            list << QString::fromLatin1(command.left(8).toHex(' '));
        return list;
    }
    Session::SaveOutcome save(const Session::SaveRequest &request)
    {
        Session::SaveOutcome outcome;
        session->save(request, [&](const Session::SaveOutcome &o) { outcome = o; });
        settle();
        return outcome;
    }
    QVariant stored(const QString &key) const { return session->store().data(key, false); }
    QVariant global(const QString &key) const { return session->store().globalData(key); }

    TestDataFolder folder;
    VirtualMouseBackend backend;
    VirtualMouse *mouse = nullptr;
    std::unique_ptr<Session> session; // last: gone before the mouse its link uses
};

using Action = std::function<void(SessionRig &)>;
Q_DECLARE_METATYPE(Action)

class tst_Session : public QObject
{
    Q_OBJECT

private slots:
    // What each sequence sends and leaves in key matrices 1..; a Save after it sends nothing.
    void sequences_data()
    {
        QTest::addColumn<QVariantMap>("flags");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("matrices");
        const QString m1 = "00 12 01 40 08 00 00 00";
        const QString colours = "00 10 00 18 00 00 00 00";
        const QStringList profile =
            QStringList{m1, "00 01 01 00 00 00 00 00", "00 11 04 08 00 00 00 00",
                        "00 0d 01 ff 00 00 00 00"} +
            QStringList(2, colours);
        const QStringList guns{"00 12 02 40 08 00 00 00", "00 12 03 40 08 00 00 00",
                               "00 12 04 40 08 00 00 00"};
        // The three gun slots ("<preset> <slot>" each), each after a read of the options.
        const auto gunSlots = [](const QStringList &presets) {
            QStringList list;
            for (const QString &preset : presets)
                list << "00 83 00 00 00 00 00 00"
                     << "00 04 00 00 00 " + preset + " 00";
            return list;
        };
        const QVariantMap gun{{"mouse/isGun", true}};
        const QVariantMap is55328{{"mouse/isColorful", false}, {"mouse/is55328", true}};
        const auto row = [](const char *name, const QVariantMap &flags, const QStringList &commands,
                            const QStringList &matrices, const Action &action) {
            QTest::newRow(name) << flags << action << commands << matrices;
        };
        row("macro assignment", {}, {"00 13 04 80 00 00 00 00", m1},
            {matrixWith({{3, "09 02 04 00"}})}, [](SessionRig &r) {
                r.session->store().setData("mouseMacroKey/3", "M1");
                r.session->sendMacro(3, "M1");
                r.save({keysWith({{3, {4, 2, 3, 0}}}), {}, {}});
            });
        // The 55328 takes one fixed colour outside Breath Loop; colour 8 is stored as sent.
        const auto lighting = [](int effect, const QVariantList &colour8) -> Action {
            return [=](SessionRig &r) {
                r.save({{}, {}, Session::SaveRequest::Lighting{effect, 0, 4, QList<int>(24, 255)}});
                QCOMPARE(r.stored("mouse/colorValue").toList().mid(21), colour8);
            };
        };
        row("55328 static", is55328, {"00 0d 01 0a 01 00 00 00", "00 0c ff ff ff 00 00 00"}, {},
            lighting(0, {0, 0, 0}));
        row("55328 breath loop", is55328, {"00 0d 02 01 03 00 00 00", colours}, {},
            lighting(4, {255, 255, 255}));
        // A mouse left on a stage no longer active goes to the last one left.
        row("fewer stages than the one in use", {},
            {"00 11 02 08 00 00 00 00", "00 0b 02 00 00 00 00 00"}, {}, [](SessionRig &r) {
                QVERIFY(r.mouse->pressDpiButton(4));
                QTRY_COMPARE(r.session->dpiStage(), 4);
                r.mouse->clearRecord();
                r.save({{}, Session::SaveRequest::Dpi{2, QList<int>(8, 1000)}, {}});
                QCOMPARE(r.session->dpiStage(), 2);
            });
        // A replugged 560 only reads its DPI stage: it chose its working profile once.
        row("560 start-up again", {{"mouse/icType", 560}}, {"00 84 01 00 00 00 00 00"}, {},
            [](SessionRig &r) { r.session->startUp(); });
        row("factory reset", gun,
            profile + QStringList{"00 02 00 00 00 00 00 00"} + guns +
                QStringList{"00 0b 02 00 00 00 00 00"} + gunSlots({"05 00", "07 01", "08 02"}),
            {factoryMatrix}, [](SessionRig &r) {
                r.save({keysWith({{2, {7, 0, 0xE0, 6}}}), {}, {}});
                r.mouse->clearRecord();
                QSignalSpy reloaded(r.session.get(), &Session::profileReloaded);
                r.session->factoryReset();
                r.settle();
                QCOMPARE(reloaded.size(), 1);
                QCOMPARE(r.stored("mouseKeyMatrix/2").toList(), QVariantList({0, 0, 242, 0}));
                QCOMPARE(r.session->dpiStage(), 2);
            });
        row("gun editor", gun,
            gunSlots({"05 00", "0a 01", "08 02"}) + QStringList{m1} + guns +
                QStringList{"00 02 01 00 00 00 00 00"},
            {matrixWith({{3, "08 00 01 01"}}), matrixWith({{0, "0b 00 09 00"}, {3, "08 00 01 02"}}),
             matrixWith({{0, "0b 01 0a 00"}, {3, "08 00 01 00"}}),
             matrixWith({{0, "0b 02 09 00"}, {3, "08 00 01 00"}})},
            [](SessionRig &r) {
                r.session->store().setGlobalData("mouse/selectGun", QVariantList{0, 4, 2});
                r.session->sendGunSlots(keysWith({{3, {8, 0, 2, 0}}}));
            });
        // The bound macro goes too, though the mouse holds the old bodies.
        row("profile switch", gun,
            QStringList{m1, "00 01 08 00 00 00 00 00"} + profile.mid(2) +
                QStringList{"00 02 00 00 00 00 00 00"} + guns +
                QStringList{"00 13 0a 80 00 00 00 00"},
            {matrixWith({{3, "09 00 0a 00"}}), factoryMatrix, factoryMatrix, factoryMatrix},
            [](SessionRig &r) {
                SettingsStore &store = r.session->store();
                store.setCurrentProfile(1);
                store.setDataList("mouseKeyMatrix/3", {4, 0, 9, 0});
                store.setData("mouseMacroKey/9", "M1");
                store.setData("mouse/reportRate", 0); // 125 Hz
                store.setCurrentProfile(0);
                QSignalSpy changed(r.session.get(), &Session::profileChanged);
                r.session->switchProfile(1);
                r.settle();
                QCOMPARE(changed.value(0).value(0).toInt(), 1);
                QCOMPARE(r.global("mouse/profileNo").toInt(), 1);
                QCOMPARE(r.global("mouse/profileUnsent").toString(), "false");
                QCOMPARE(r.mouse->state().macros.value(10),
                         QByteArray::fromHex("0001030481040000").leftJustified(128, '\0'));
            });
    }

    void sequences()
    {
        QFETCH(QVariantMap, flags);
        QFETCH(Action, action);
        QFETCH(QStringList, matrices);
        SessionRig r(flags.value("mouse/icType", 553).toInt(), flags);
        QVERIFY(writeMacro(r.session->store()) && r.connect());
        action(r);
        r.settle();
        QTEST(r.commands(), "commands");
        QStringList held;
        for (int m = 1; m <= matrices.size(); ++m)
            held << QString::fromLatin1(r.mouse->state().keyMatrices.value(m).toHex(' '));
        QCOMPARE(held, matrices);
        QCOMPARE(r.mouse->protocolErrors(), QStringList());
        r.mouse->clearRecord();
        QVERIFY(r.save({}).ok);
        QCOMPARE(r.commands(), QStringList());
    }

    // A refused send is told once; a switch, reset or macro body stays owed across a restart.
    void refusedSendsAreToldAndStayOwed_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("owed");
        const auto row = [](const char *name, bool owed, const Action &action) {
            QTest::newRow(name) << action << owed;
        };
        row("save", false, [](SessionRig &r) {
            const Session::SaveOutcome outcome = r.save({keysWith({{3, {2, 3, 4, 5}}}), {}, {}});
            QVERIFY(!outcome.ok && outcome.unsaved[Session::KeyPanel]);
            QVERIFY(!outcome.unsaved[Session::DpiPanel]);
        });
        row("report rate", false, [](SessionRig &r) {
            QSignalSpy shown(r.session.get(), &Session::reportRateChanged);
            r.session->setReportRate(1);
            r.settle();
            QCOMPARE(shown.size(), 0);
        });
        row("switch", true, [](SessionRig &r) { r.session->switchProfile(1); });
        row("switch, only its first report lost", true, [](SessionRig &r) {
            r.mouse->setFault(VirtualMouse::Fault::DropReport);
            r.session->switchProfile(1);
        });
        row("factory reset", true, [](SessionRig &r) {
            r.session->store().setDataList("mouseKeyMatrix/3", {2, 3, 4, 5});
            r.session->factoryReset();
        });
        row("macro body", true, [](SessionRig &r) { r.session->sendMacro(3, "M1"); });
        row("gun slots", false, [](SessionRig &r) {
            bool done = true;
            r.session->sendGunSlots(keysWith({}), [&](bool ok) { done = ok; });
            r.settle();
            QVERIFY(!done);
        });
    }

    void refusedSendsAreToldAndStayOwed()
    {
        QFETCH(Action, action);
        QFETCH(bool, owed);
        auto r = std::make_unique<SessionRig>(553, QVariantMap{{"mouse/isGun", true}});
        QVERIFY(writeMacro(r->session->store()) && r->connect());
        QSignalSpy notices(r->session.get(), &Session::notice);
        r->mouse->setFault(VirtualMouse::Fault::Silent);
        action(*r);
        r->settle();
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.at(0).at(0).toString(), r->session->noticeText(UserTexts::NotWritten));
        QCOMPARE(r->session->profileUnsent(), owed);
        QCOMPARE(r->stored("mouseKeyMatrix/3").toStringList().join(' '), "0 0 244 0");
        QCOMPARE(r->stored("mouse/reportRate").toInt(), 3);
        r->session.reset();
        r->session = std::make_unique<Session>(r->folder.path(), &r->backend);
        QCOMPARE(r->session->profileUnsent(), owed);
        r->mouse->setFault(VirtualMouse::Fault::None);
        QVERIFY(r->connect() && r->save({}).ok);
        // The rest of an owed profile: its rate, gun matrices and macro slots.
        const QStringList sent = r->commands();
        QCOMPARE(sent.filter(QRegularExpression("^00 (01|12 0[234]) ")).size(), owed ? 4 : 0);
        QCOMPARE(r->session->profileUnsent(), false);
        QCOMPARE(r->global("mouse/profileUnsent").toString(), "false");
    }

    // An unplug fails what is queued at once, with one notice; the switch stays owed.
    void unplugFailsWhatIsQueued()
    {
        SessionRig r(560, {{"mouse/isGun", true}});
        QVERIFY(r.connect());
        QSignalSpy notices(r.session.get(), &Session::notice);
        QList<bool> done;
        r.mouse->unplugAfterReports(3);
        QTest::ignoreMessage(QtInfoMsg, "Device removed");
        r.session->switchProfile(1, [&](bool ok) { done << ok; });
        r.session->factoryReset([&](bool ok) { done << ok; });
        r.session->setDpiStage(2, [&](bool ok) { done << ok; });
        r.settle();
        QCOMPARE(done, QList<bool>({false, false, false}));
        QCOMPARE(notices.size(), 1);
        QTRY_VERIFY(!r.session->isConnected());
        QVERIFY(r.session->profileUnsent());
    }

    // A quit past its bound stops the send under way; the profile stays owed.
    void stoppedSendStopsBetweenCommandsAndStaysOwed()
    {
        SessionRig r(553, {{"mouse/isGun", true}});
        QVERIFY(r.connect());
        std::atomic<int> dataReports = 0;
        r.session->link().setSleep([&](int ms) {
            // In the switch's third command, its DPI stages.
            if (ms == 120 && ++dataReports == 3)
                r.session->stopSending();
        });
        bool done = true;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cmd Failed"));
        r.session->switchProfile(1, [&](bool ok) { done = ok; });
        r.settle();
        QVERIFY(!done);
        QCOMPARE(r.global("mouse/profileUnsent").toString(), "true");
    }

    // A switch the data folder does not take is not made: nothing of it reaches the mouse.
    void switchTheFolderRefusesSendsNothing()
    {
        SessionRig r;
        QVERIFY(r.connect());
        QSignalSpy notices(r.session.get(), &Session::notice);
        const QString global = r.folder.filePath("modules/setting/apConfig.bin");
        QVERIFY(QFile::rename(global, global + ".aside") && QDir().mkpath(global));
        bool done = true;
        r.session->switchProfile(1, [&](bool ok) { done = ok; });
        r.settle();
        QVERIFY(!done);
        QCOMPARE(r.commands(), QStringList());
        QCOMPARE(r.session->activeProfile(), 0);
        QCOMPARE(r.global("mouse/profileNo").toInt(), 0);
        QCOMPARE(notices.value(0).value(0).toString(), r.session->refusalText(UserTexts::NotMade));
    }

    // A set-aside file a command could not tell is told by the next window, once.
    void setAsideFilesAreToldByTheNextWindow()
    {
        TestDataFolder folder;
        folder.write("modules/setting/p2.bin", "\x89PNG\r\n=\n");
        const auto told = [&](bool window) {
            Session session(folder.path(), nullptr);
            QSignalSpy notices(&session, &Session::notice);
            if (window)
                session.tellEarlierSetAside();
            QTest::qWait(0);
            return std::pair(session.setAsideFiles().size(), notices.size());
        };
        QCOMPARE(told(false), std::pair(qsizetype(1), qsizetype(1)));
        QCOMPARE(told(true), std::pair(qsizetype(0), qsizetype(1)));
        QCOMPARE(told(true), std::pair(qsizetype(0), qsizetype(0)));
    }
};

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
