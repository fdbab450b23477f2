#include "devicedetector.h"
#include "myqquickview.h"
#include "session.h"
#include "testdatafolder.h"
#include "usertexts.h"
#include "virtualmouse.h"
#include "widget.h"

#include <QFile>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

using Load = Ui_Controler::SceneLoad;

namespace {
// Settings as "group/key=value" pairs, separated by spaces.
void configure(const QString &pairs, const QString &file = "modules/setting/apConfig.bin")
{
    QSettings settings(file, QSettings::IniFormat);
    for (const QString &pair : pairs.split(' ', Qt::SkipEmptyParts))
        pair.startsWith('-') ? settings.remove(pair.mid(1))
                             : settings.setValue(pair.section('=', 0, 0), pair.section('=', 1));
}

// The command bytes (after the report id) the mouse received.
QString commandCodes(const VirtualMouse &mouse)
{
    QStringList codes;
    for (const QByteArray &report : mouse.commands())
        codes << QString::fromLatin1(report.mid(1, 2).toHex(' '));
    return codes.join(',');
}
} // namespace

class tst_DeviceDetection : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A scene's script error fails the test.
        QTest::failOnWarning(QRegularExpression("^qrc:/"));
        m_folder = std::make_unique<TestDataFolder>();
        m_backend = std::make_unique<VirtualMouseBackend>();
    }
    void cleanup()
    {
        if (m_widget)
            m_widget->session().link().requestStop();
        for (int i = 0; i < m_backend->mouseCount(); ++i)
            m_backend->mouse(i).unplug(); // ends a listener's read at once
        m_widget.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_backend.reset();
        m_folder.reset();
    }
    void connectsAndStartsTheScene();
    void detectionPass();
    void trayShowsTheWindowInItsNoMouseState();
    void passesWaitForSendsAndReconnectThroughOneDebouncedPass();

private:
    void makeWidget(const QString &scene = "qrc:/scenes/recorder.qml", Load load = Load::Now)
    {
        m_widget =
            std::make_unique<Widget>(m_folder->path(), nullptr, scene, m_backend.get(), load);
        link().setSleep([](int) {});
        link().setDraw([] { return std::array<uchar, 4>{0x12, 0x34, 0x56, 0x78}; });
        if (load == Load::Now) {
            m_widget->show();
            QVERIFY(QTest::qWaitForWindowActive(m_widget.get()));
        }
    }
    Hid_Thread &link() { return m_widget->session().link(); }
    bool connected() const { return m_widget->session().isConnected(); }
    void pass()
    {
        m_widget->checkDevice();
        settle();
    }
    void settle()
    {
        QSignalSpy idle(&m_widget->session(), &Session::busyChanged);
        while (m_widget->session().isBusy() && idle.wait(10000)) {
        }
    }
    QStringList sceneCalls() const
    {
        return m_widget->view()->rootObject()->property("calls").toStringList();
    }

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<VirtualMouseBackend> m_backend;
    std::unique_ptr<Widget> m_widget;
};

// The last row is the program's own start: the window after the scene's run, then the tray icon.
void tst_DeviceDetection::connectsAndStartsTheScene()
{
    const std::tuple<int, bool, bool, QString, bool> rows[] = {
        {560, true, false, "00 12,81 00,01 08,8c 00,8c 01,82 00,84 01", false},
        {560, false, true, "00 12,81 00,01 08,8c 00,8c 01,8c 02,8c 03,8c 04,82 00,84 01", false},
        {553, true, true, "00 12,83 00,03 00,8b 00", true}};
    for (const auto &[family, isEncode, isGun, codes, programStart] : rows) {
        cleanup();
        init();
        configure(QString::asprintf("mouse/icType=%d mouse/isGun=%d 0/isEncode=%d", family, isGun,
                                    isEncode));
        DeviceEntry row = VirtualMouse::factoryRow();
        row.isEncode = isEncode;
        VirtualMouse &mouse = m_backend->addMouse(family, row);
        makeWidget("qrc:/scenes/recorder.qml", programStart ? Load::InBackground : Load::Now);
        QSignalSpy balloons(m_widget.get(), &Widget::trayMessageShown);
        QTest::ignoreMessage(QtInfoMsg, "Device Connect");
        QStringList shown{"not shown"}; // the scene's calls and the icon then
        if (programStart) {
            QVERIFY(!m_widget->view()->rootObject());
            m_widget->showOnceRunning();
            m_widget->startUp();
            connect(m_widget->windowHandle(), &QWindow::visibleChanged, this, [&](bool visible) {
                if (visible)
                    shown = sceneCalls() << QString::number(m_widget->trayIcon()->isVisible());
            });
        } else {
            m_widget->checkDevice();
        }
        QTRY_COMPARE(sceneCalls(), (QStringList{"initUI", "run"}));
        QVERIFY(connected());
        QCOMPARE(commandCodes(mouse) + mouse.protocolErrors().join(' '), codes);
        // The window it shows tells it: no balloon beside it.
        QTest::qWait(20);
        QCOMPARE(balloons.count(), 0);
        if (programStart) {
            QTRY_COMPARE(shown, (QStringList{"initUI", "run", "0"}));
            QVERIFY(m_widget->isVisible() && m_widget->trayIcon()->isVisible());
        }
    }
}

void tst_DeviceDetection::detectionPass()
{
    const QString none = "0 |  |  | 0";
    // A damaged table: the factory table serves, and the user hears once (from the tray).
    const QString damaged =
        QStringLiteral(
            "1 | Skarn Config: %1, notice: %1, Info: Detect Device, Info: Detect Device | 8 8 | 2")
            .arg(UserTexts::refusal({}, "English", UserTexts::DamagedDeviceTable));
    const QString fallback = QStringLiteral("1 | Info: %1, Info: Detect Device | 8 | 1")
                                 .arg(DeviceDetector::accessDeniedFallback);
    // The set-up: settings (see configure()), "unplug", "mute", a fault, or
    // "denied <language> <language file settings>"; the passes; "connected | balloons and
    // notices | pauses | 00H reports the mouse received" (the quiet moment owed after the
    // listener's 03H is waited for by the start-up's query).
    const std::tuple<QString, int, QString> rows[] = {
        {"common/deviceCount=0", 2, none},
        {"unplug", 2, none},
        {"mute", 2, "0 |  | 100 200 400 100 200 400 | 8"},
        {"-common/deviceCount", 2, damaged},
        {"common/deviceCount=1 0/vid=0", 2, damaged},
        {"no file", 2, damaged},
        // A lost identity reply is retried after a pause (then 03H); a wrong answer is not lost.
        {"DropReply", 1, "1 | Info: Detect Device | 100 8 | 2"},
        {"Silent", 1, "0 |  | 100 200 400 | 0"},
        {"Garbage", 1, "0 |  |  | 1"},
        // Denied access is told once, in the language's entry 8 or the built-in text.
        {"denied ChineseSimplified other/total=9 other/8=无法访问鼠标", 3,
         "1 | 提示: 无法访问鼠标, 提示: 已检测到鼠标 | 8 | 1"},
        {"denied English other/total=8 -other/8", 3, fallback}};
    for (const auto &[setup, passes, outcome] : rows) {
        cleanup();
        init();
        VirtualMouse &mouse = m_backend->addMouse(553);
        const QString language = setup.section(' ', 1, 1);
        const int fault = QStringList{"None", "Silent", "DropReply", "Garbage"}.indexOf(setup);
        if (setup.startsWith("denied ")) {
            configure("common/language=" + language);
            configure(setup.section(' ', 2), QStringLiteral("modules/i18n/%1.ini").arg(language));
            mouse.setAccessDenied(true);
        } else if (fault > 0) {
            mouse.setFault(VirtualMouse::Fault(fault));
        } else if (setup == "unplug" || setup == "mute") {
            setup == "unplug" ? mouse.unplug() : mouse.setAnswering(false);
        } else if (setup == "no file") {
            QFile::remove("modules/setting/apConfig.bin");
        } else {
            configure(setup);
        }
        makeWidget();
        QStringList slept, heard;
        link().setSleep([&slept](int ms) { slept << QString::number(ms); });
        connect(
            m_widget.get(), &Widget::trayMessageShown, this,
            [&heard](const QString &title, const QString &text) { heard << title + ": " + text; });
        connect(m_widget->view(), &myQQuickView::userNotice, this,
                [&heard](const QString &text) { heard << "notice: " + text; });
        const bool expected = outcome.startsWith('1');
        for (int n = 0; n < passes; ++n) {
            m_widget->showMinimized();  // the tray tells what the pass found
            link().stopEventListener(); // a pass runs only while none listens
            pass();
            QCOMPARE(connected(), expected && !mouse.isAccessDenied());
            QVERIFY(m_widget->isVisible()); // shown, it stays whatever the pass found
            QCOMPARE(link().isListening(), connected());
        }
        if (mouse.isAccessDenied()) {
            QVERIFY(mouse.openCount() == 0 && mouse.received().isEmpty());
            mouse.setAccessDenied(false);
            pass();
            QVERIFY(connected());
        }
        QCOMPARE(mouse.eventReportsEnabled(), expected);
        QCOMPARE(QStringList(
                     {QString::number(expected), heard.join(", "), slept.join(' '),
                      QString::number(commandCodes(mouse).count(QRegularExpression("(^|,)00 ")))})
                     .join(" | "),
                 outcome);
        QCoreApplication::processEvents();
        if (!expected)
            QCOMPARE(sceneCalls(), QStringList());
    }
}

// A tray click without a mouse shows the real scene's no-mouse state and why, until it is served.
void tst_DeviceDetection::trayShowsTheWindowInItsNoMouseState()
{
    makeWidget(QString());
    m_widget->hide();
    pass();
    QQuickItem *root = m_widget->view()->rootObject();
    // Shown, connected, the no-mouse panel shown, the left panel enabled, title, detail, tool tip.
    const auto state = [&] {
        return QStringList{
            QString::number(m_widget->isVisible() && root->isVisible()),
            root->property("mouseConnected").toString(),
            QString::number(root->findChild<QQuickItem *>("noMousePanel")->isVisible()),
            QString::number(root->findChild<QQuickItem *>("leftPanel")->isEnabled()),
            root->property("noMouseTitle").toString(),
            root->property("noMouseDetail").toString(),
            m_widget->trayIcon()->toolTip()}
            .join('|');
    };
    const QString none = "|No mouse connected|Connect the mouse. Its settings appear here as soon "
                         "as it is found.|Skarn Config: no mouse connected";
    QCOMPARE(state().section('|', 0, 0) + state().section('|', -1),
             "0Skarn Config: no mouse connected");
    m_widget->trayIconActivated(QSystemTrayIcon::Trigger);
    QTRY_COMPARE(state(), "1|false|1|0" + none);
    // Without a mouse the start-up lock has nothing to wait for.
    QVERIFY(root->property("isMainShown").toBool());
    VirtualMouse &mouse = m_backend->addMouse(553);
    mouse.setAccessDenied(true);
    pass();
    QTRY_COMPARE(state().section('|', 4), "Mouse found, access denied|" +
                                              m_widget->detector()->accessDeniedText() +
                                              "|Skarn Config: mouse found, access denied");
    QVERIFY(m_widget->isVisible()); // a pass without a mouse leaves it shown
    mouse.setAccessDenied(false);
    pass();
    QTRY_COMPARE(state().section('|', 1, 2) + state().section('|', -1),
                 "true|0Skarn Config: mouse 1209:0001 connected");
}

// A pass asked for while the link sends never runs in the middle of the transfer.
void tst_DeviceDetection::passesWaitForSendsAndReconnectThroughOneDebouncedPass()
{
    VirtualMouse &mouse = m_backend->addMouse(553);
    makeWidget();
    QTimer *timer = m_widget->detectionTimer();
    QSignalSpy passes(timer, &QTimer::timeout);
    pass();
    mouse.clearRecord();
    m_widget->session().setDpiStage(3);
    link().stopEventListener();
    pass();
    QCOMPARE(commandCodes(mouse), QStringLiteral("0b 03,00 12,83 00,03 00,8b 00"));
    m_widget->deviceChanged(); // while the mouse is served: no pass
    QVERIFY(!timer->isActive());
    QTest::ignoreMessage(QtInfoMsg, "Device removed");
    mouse.unplug();
    QTRY_COMPARE(m_widget->trayIcon()->toolTip(), "Skarn Config: no mouse connected");
    QVERIFY(!link().isListening() && !connected());
    // A pass that finds nothing is the last: nothing polls for a mouse.
    m_widget->deviceChanged();
    QTRY_COMPARE_WITH_TIMEOUT(passes.count(), 1, 5000);
    settle();
    QVERIFY(!timer->isActive() && !connected());
    // Plugged in again with a burst of notifications: each starts the wait; one pass follows.
    mouse.clearRecord();
    mouse.plugIn();
    QTRY_VERIFY(timer->isActive());
    for (int i = 0; i < 3; ++i) {
        timer->stop();
        m_widget->deviceChanged();
        QVERIFY(timer->isActive());
    }
    QTest::ignoreMessage(QtInfoMsg, "Device Connect");
    QTRY_VERIFY_WITH_TIMEOUT(link().isListening(), 5000);
    settle();
    QVERIFY(passes.count() == 2 && !timer->isActive()); // one pass, and no more to come
    QCOMPARE(commandCodes(mouse), QStringLiteral("00 12,83 00,03 00,8b 00"));
}

QTEST_MAIN(tst_DeviceDetection)
#include "tst_devicedetection.moc"
