#include "devicechangemonitor.h"
#include "devicedetector.h"
#include "myqquickview.h"
#include "processstate.h"
#include "testdatafolder.h"
#include "virtualmouse.h"
#include "widget.h"

#include <QAction>
#include <QFile>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

class tst_DeviceDetection;
using Setup = std::function<void(tst_DeviceDetection &, VirtualMouse &)>;
Q_DECLARE_METATYPE(Setup)

class tst_DeviceDetection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lastMatchingInterfaceWins();
    void connectsAndStartsTheScene_data();
    void connectsAndStartsTheScene();
    void firstAnsweringEntryWins();
    void detectionPass_data();
    void detectionPass();
    void passDuringATransferWaitsForIt();
    void trayShowsTheWindowInItsNoMouseState_data();
    void trayShowsTheWindowInItsNoMouseState();
    void unplugAndReplugReconnectThroughOneDebouncedPass();
    void theSceneReachesTheLinkAsHid();

public:
    void configure(const QMap<QString, QVariant> &values, const QStringList &remove = {});

private:
    void makeWidget();
    QStringList sceneCalls() const;
    QStringList commandCodes(const VirtualMouse &mouse) const;

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<VirtualMouseBackend> m_backend;
    std::unique_ptr<Widget> m_widget;
};

void tst_DeviceDetection::init()
{
    processState.deviceConnected = false;
    m_folder = std::make_unique<TestDataFolder>();
    m_backend = std::make_unique<VirtualMouseBackend>();
}

void tst_DeviceDetection::cleanup()
{
    if (m_widget)
        m_widget->deviceLink().requestStop();
    for (int i = 0; i < m_backend->mouseCount(); ++i)
        m_backend->mouse(i).unplug(); // ends a listener's read at once
    m_widget.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_backend.reset();
    m_folder.reset();
    processState.deviceConnected = false;
}

void tst_DeviceDetection::configure(const QMap<QString, QVariant> &values,
                                    const QStringList &remove)
{
    QSettings file(QStringLiteral("modules/setting/apConfig.bin"), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        file.setValue(it.key(), it.value());
    for (const QString &key : remove)
        file.remove(key);
}

void tst_DeviceDetection::makeWidget()
{
    m_widget = std::make_unique<Widget>(nullptr, QStringLiteral("qrc:/scenes/recorder.qml"),
                                        m_backend.get());
    m_widget->deviceLink().setSleep([](int) {});
    m_widget->deviceLink().setDraw([] { return std::array<uchar, 4>{0x12, 0x34, 0x56, 0x78}; });
    m_widget->show();
}

QStringList tst_DeviceDetection::sceneCalls() const
{
    return m_widget->view()->rootObject()->property("calls").toStringList();
}

QStringList tst_DeviceDetection::commandCodes(const VirtualMouse &mouse) const
{
    QStringList codes;
    for (const QByteArray &report : mouse.commands())
        codes << QString::fromLatin1(report.mid(1, 2).toHex(' '));
    return codes;
}

void tst_DeviceDetection::lastMatchingInterfaceWins()
{
    DeviceEntry row = VirtualMouse::factoryRow();
    row.usagePage2 = row.usagePage;
    row.usage2 = row.usage;
    m_backend->addMouse(553, row);
    makeWidget();
    DeviceDetector detector(*m_widget, m_backend.get(), m_widget->deviceLink());
    DeviceTable table{row};
    // A second entry that names no device matches every device, but only
    // interfaces of usage page and usage 0.
    table.append(DeviceEntry());
    detector.findInterfaces(table);
    QCOMPARE(table.at(0).interfacePath1, QStringLiteral("virtual:0:1"));
    QCOMPARE(table.at(0).interfacePath2, QStringLiteral("virtual:0:1"));
    QVERIFY(table.at(1).interfacePath1.isEmpty());
}

void tst_DeviceDetection::connectsAndStartsTheScene_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("stage"); // pressed on the DPI button afterwards
    QTest::addColumn<QString>("text");
    QTest::newRow("553 scrambled")
        << 553 << true << true << QStringList{"00 12", "83 00", "03 00"} << 3 << "third ";
    QTest::newRow("553 plain") << 553 << false << false << QStringList{"00 12", "83 00", "03 00"}
                               << 8 << "eighth ";
    QTest::newRow("560") << 560 << true << false
                         << QStringList{"00 12", "81 00", "01 08", "8c 00", "8c 01"} << 3
                         << "third ";
    QTest::newRow("560 gun") << 560 << false << true
                             << QStringList{"00 12", "81 00", "01 08", "8c 00",
                                            "8c 01", "8c 02", "8c 03", "8c 04"}
                             << 7 << "seventh ";
}

void tst_DeviceDetection::connectsAndStartsTheScene()
{
    QFETCH(int, family);
    QFETCH(bool, isEncode);
    QFETCH(bool, isGun);
    QFETCH(QStringList, codes);
    QFETCH(int, stage);
    QFETCH(QString, text);
    configure({{"mouse/icType", QString::number(family)},
               {"mouse/isGun", isGun},
               {"0/isEncode", isEncode}});
    DeviceEntry row = VirtualMouse::factoryRow();
    row.isEncode = isEncode;
    VirtualMouse &mouse = m_backend->addMouse(family, row);
    makeWidget();
    m_widget->view()->setEnabled(false);
    QSignalSpy balloons(m_widget.get(), &Widget::trayMessageShown);

    QTest::ignoreMessage(QtInfoMsg, "Device Connect");
    m_widget->checkDevice();

    QVERIFY(processState.deviceConnected);
    QVERIFY(m_widget->deviceLink().isListening());
    QCOMPARE(m_widget->deviceLink().currentIndex(), 0);
    QVERIFY(m_widget->view()->isEnabled());
    QVERIFY(m_widget->isVisible());
    QCOMPARE(balloons.size(), 1);
    QCOMPARE(balloons.at(0), (QVariantList{"Info", "Detect Device"}));
    QCOMPARE(commandCodes(mouse), codes);
    QVERIFY(mouse.eventReportsEnabled());
    QCOMPARE(mouse.protocolErrors(), QStringList());
    if (family == 560) {
        for (int n = 0; n < 5; ++n) {
            const bool read = n < 2 || isGun;
            QCOMPARE(m_widget->view()->deviceProfile(n),
                     read ? mouse.state().profiles.at(n) : QByteArray(128, '\0'));
        }
    }
    // initUI and run travel through the event queue, in that order.
    QCOMPARE(sceneCalls(), QStringList());
    QTRY_COMPARE(sceneCalls(), (QStringList{"initUI", "run"}));

    // A DPI button press reaches the scene before its balloon, which lands
    // in the scene's record too so the order shows.
    const QStringList saved(std::begin(processState.dpiSwitchText),
                            std::end(processState.dpiSwitchText));
    const auto restore = qScopeGuard(
        [&saved] { std::copy(saved.begin(), saved.end(), processState.dpiSwitchText); });
    processState.dpiSwitchText[2] = QStringLiteral("third");
    processState.dpiSwitchText[6] = QStringLiteral("seventh");
    processState.dpiSwitchText[7] = QStringLiteral("eighth");
    connect(m_widget.get(), &Widget::trayMessageShown, this,
            [this](const QString &title, const QString &message) {
                m_widget->view()->invokeScene("record", {title + ": " + message},
                                              myQQuickView::Delivery::Synchronous);
            });
    QVERIFY(mouse.pressDpiButton(stage));
    QTRY_COMPARE(sceneCalls().size(), 4);
    QCOMPARE(sceneCalls().mid(2),
             (QStringList{QStringLiteral("setCurrentDPI %1").arg(stage), "Info: " + text}));
}

void tst_DeviceDetection::firstAnsweringEntryWins()
{
    DeviceEntry second = VirtualMouse::factoryRow();
    second.pid = 0x0002;
    configure({{"common/deviceCount", 2},
               {"0/pid", "0002"},
               {"1/type", "1"},
               {"1/vid", "1209"},
               {"1/pid", "0001"},
               {"1/usagePage", "ff00"},
               {"1/usage", "ff00"},
               {"1/usagePage2", "ff01"},
               {"1/usage2", "ff01"},
               {"1/isEncode", "true"}});
    VirtualMouse &listedFirst = m_backend->addMouse(553, second);
    VirtualMouse &listedSecond = m_backend->addMouse(553);
    makeWidget();

    m_widget->checkDevice();
    QCOMPARE(m_widget->deviceLink().currentIndex(), 0);
    QCOMPARE(listedSecond.received().size(), 0);
    QVERIFY(listedFirst.eventReportsEnabled());

    // The first one stops answering: the next entry is tried.
    m_widget->deviceLink().requestStop();
    listedFirst.setAnswering(false);
    m_widget->checkDevice();
    QCOMPARE(m_widget->deviceLink().currentIndex(), 1);
    QVERIFY(listedSecond.eventReportsEnabled());
    QVERIFY(processState.deviceConnected);
}

void tst_DeviceDetection::detectionPass_data()
{
    using F = VirtualMouse::Fault;
    using T = tst_DeviceDetection;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("passes");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("told"); // balloons, and notices in the window
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<int>("exchanges"); // 00H reports the mouse received
    const auto row = [](const char *name, Setup setup, int passes, bool connected,
                        const QStringList &told = {}, const QList<int> &pauses = {},
                        int exchanges = 0) {
        QTest::newRow(name) << setup << passes << connected << told << pauses << exchanges;
    };
    const auto config = [](const QMap<QString, QVariant> &values, const QStringList &remove = {}) {
        return Setup([=](T &t, VirtualMouse &) { t.configure(values, remove); });
    };
    const auto fault = [](F fault) {
        return Setup([=](T &, VirtualMouse &m) { m.setFault(fault); });
    };
    // Nothing to serve: absent or silent is not a permission problem.
    row("count 0", config({{"common/deviceCount", 0}}), 2, false);
    row(
        "unplugged", [](T &, VirtualMouse &m) { m.unplug(); }, 2, false);
    row(
        "not answering", [](T &, VirtualMouse &m) { m.setAnswering(false); }, 2, false, {},
        {100, 200, 400, 100, 200, 400}, 8);
    row("other secrecy code", config({{"0/sCode", "999999"}}), 2, false);
    row("wrong interface", config({{"0/usage", "0001"}}), 2, false);
    // A damaged table: the factory table serves, and the user hears once.
    const QString damagedText =
        myQQuickView::refusalText(myQQuickView::DamagedDeviceTable, "English");
    const QStringList damaged{"Skarn Config: " + damagedText, "notice: " + damagedText,
                              "Info: Detect Device", "Info: Detect Device"};
    row("no count", config({}, {"common/deviceCount"}), 2, true, damaged, {8, 8}, 2);
    row("count not a number", config({{"common/deviceCount", "two"}}), 2, true, damaged, {8, 8}, 2);
    row("rows without ids", config({{"common/deviceCount", 2}, {"0/vid", "zz"}, {"1/pid", "0"}}), 2,
        true, damaged, {8, 8}, 2);
    row(
        "no file", [](T &, VirtualMouse &) { QFile::remove("modules/setting/apConfig.bin"); }, 2,
        true, damaged, {8, 8}, 2);
    // A lost identity reply is tried again after a short pause; the
    // connect sequence's 03H follows. An answer that came wrong is not lost.
    const QStringList found{"Info: Detect Device"};
    row("one reply lost", fault(F::DropReply), 1, true, found, {100, 8}, 2);
    row("silent", fault(F::Silent), 1, false, {}, {100, 200, 400});
    row("wrong answer", fault(F::Garbage), 1, false, {}, {}, 1);
    // Denied access is told once, in the language's entry 8 or the built-in
    // text; with the rule in place, the next pass serves the mouse.
    const auto denied = [](const QString &language, const QString &entry8) {
        return Setup([=](T &t, VirtualMouse &mouse) {
            t.configure({{"common/language", language}});
            QSettings texts("modules/i18n/" +
                                (language.startsWith("..") ? QStringLiteral("English") : language) +
                                ".ini",
                            QSettings::IniFormat);
            texts.setValue("other/total", entry8.isNull() ? 8 : 9); // 8: from before the notice
            if (entry8.isNull())
                texts.remove("other/8");
            else
                texts.setValue("other/8", entry8);
            mouse.setAccessDenied(true);
        });
    };
    const QStringList fallback{"Info: " + QString::fromLatin1(DeviceDetector::accessDeniedFallback),
                               "Info: Detect Device"};
    row("denied, English text", denied("English", "No access: install the rule"), 3, true,
        {"Info: No access: install the rule", "Info: Detect Device"}, {8}, 1);
    row("denied, Chinese text", denied("ChineseSimplified", "无法访问鼠标"), 3, true,
        {"提示: 无法访问鼠标", "提示: 已检测到鼠标"}, {8}, 1);
    row("denied, no entry 8", denied("English", QString()), 3, true, fallback, {8}, 1);
    row("denied, empty entry 8", denied("English", ""), 3, true, fallback, {8}, 1);
    row("denied, hostile language", denied("../setting/apConfig", "x"), 3, true, fallback, {8}, 1);
}

void tst_DeviceDetection::detectionPass()
{
    QFETCH(Setup, setup);
    QFETCH(int, passes);
    QFETCH(bool, connected);
    QFETCH(QStringList, told);
    QFETCH(QList<int>, pauses);
    QFETCH(int, exchanges);
    VirtualMouse &mouse = m_backend->addMouse(553);
    setup(*this, mouse);
    makeWidget();
    QList<int> slept;
    m_widget->deviceLink().setSleep([&slept](int ms) { slept << ms; });
    QStringList heard;
    connect(m_widget.get(), &Widget::trayMessageShown, this,
            [&heard](const QString &title, const QString &text) { heard << title + ": " + text; });
    connect(m_widget->view(), &myQQuickView::userNotice, this,
            [&heard](const QString &text) { heard << "notice: " + text; });
    processState.deviceConnected = true;

    for (int pass = 0; pass < passes; ++pass) {
        m_widget->show();
        m_widget->checkDevice();
        QCOMPARE(processState.deviceConnected, connected && !mouse.isAccessDenied());
        QCOMPARE(m_widget->isVisible(), processState.deviceConnected);
        QCOMPARE(m_widget->deviceLink().isListening(), processState.deviceConnected);
    }
    if (mouse.isAccessDenied()) {
        QCOMPARE(mouse.openCount(), 0);
        QVERIFY(mouse.received().isEmpty());
        mouse.setAccessDenied(false);
        m_widget->checkDevice();
        QVERIFY(processState.deviceConnected);
    }
    QCOMPARE(mouse.eventReportsEnabled(), connected);
    QCOMPARE(heard, told);
    QCOMPARE(slept, pauses);
    QCOMPARE(commandCodes(mouse).filter(QRegularExpression("^00 ")).size(), exchanges);
    if (!connected) {
        QCoreApplication::processEvents();
        QCOMPARE(sceneCalls(), QStringList());
    }
}

void tst_DeviceDetection::trayShowsTheWindowInItsNoMouseState_data()
{
    QTest::addColumn<bool>("denied");
    QTest::newRow("no mouse") << false;
    QTest::newRow("access denied") << true;
}

// With the real scene: a click on the tray icon without a mouse shows the
// window in its no-mouse state with the reason, until the mouse is served.
void tst_DeviceDetection::trayShowsTheWindowInItsNoMouseState()
{
    QFETCH(bool, denied);
    VirtualMouse *mouse = nullptr;
    if (denied) {
        mouse = &m_backend->addMouse(553);
        mouse->setAccessDenied(true);
    }
    m_widget = std::make_unique<Widget>(nullptr, QString(), m_backend.get());
    m_widget->deviceLink().setSleep([](int) {});
    m_widget->checkDevice();
    QVERIFY(!m_widget->isVisible());
    QSystemTrayIcon *tray = m_widget->trayIcon();
    QCOMPARE(tray->toolTip(), QStringLiteral("Skarn Config: no mouse connected"));

    m_widget->trayIconActivated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(m_widget->isVisible());
    QQuickItem *root = m_widget->view()->rootObject();
    QTRY_VERIFY(root->isVisible());
    QCOMPARE(root->property("mouseConnected").toBool(), false);
    QCOMPARE(root->property("noMouseTitle").toString(), QStringLiteral("No mouse connected"));
    QCOMPARE(root->property("noMouseDetail").toString(),
             denied ? m_widget->detector()->accessDeniedText()
                    : QStringLiteral("Connect the mouse. Its settings appear here as soon as "
                                     "it is found."));
    QVERIFY(root->findChild<QQuickItem *>("noMousePanel")->isVisible());
    QVERIFY(!root->findChild<QQuickItem *>("leftPanel")->isEnabled());

    if (denied)
        mouse->setAccessDenied(false);
    else
        m_backend->addMouse(553);
    m_widget->checkDevice();
    QTRY_COMPARE(root->property("mouseConnected").toBool(), true);
    QVERIFY(!root->findChild<QQuickItem *>("noMousePanel")->isVisible());
    QCOMPARE(tray->toolTip(), QStringLiteral("Skarn Config: mouse 1209:0001 connected"));

    // The tray menu's profile entries switch profiles as the title bar does.
    QVERIFY(QMetaObject::invokeMethod(root->findChild<QObject *>("profiles"), "newProfile"));
    const auto entries = [this] {
        m_widget->fillProfileMenu();
        QStringList texts;
        for (QAction *entry : m_widget->profileActions())
            texts << entry->text() + (entry->isChecked() ? "*" : "");
        return texts;
    };
    QCOMPARE(entries(), (QStringList{"Standard*", "profile_0"}));
    m_widget->profileActions().at(1)->trigger();
    QTRY_COMPARE(root->property("profileNo").toInt(), 1);
    QCOMPARE(entries(), (QStringList{"Standard", "profile_0*"}));
}

void tst_DeviceDetection::passDuringATransferWaitsForIt()
{
    VirtualMouse &mouse = m_backend->addMouse(553);
    makeWidget();
    m_widget->checkDevice();
    QVERIFY(processState.deviceConnected);
    mouse.clearRecord();

    // The pass fires from the events the transfer lets run, and runs when
    // the transfer is done.
    QTimer::singleShot(0, m_widget.get(), &Widget::checkDevice);
    m_widget->view()->mouseSetReportRate(4);
    QVERIFY(processState.deviceConnected);
    QVERIFY(m_widget->isVisible());
    QCOMPARE(commandCodes(mouse), QStringList{"01 04"});
    QTRY_COMPARE(commandCodes(mouse), (QStringList{"01 04", "00 12", "83 00", "03 00"}));
    QVERIFY(processState.deviceConnected);
}

void tst_DeviceDetection::unplugAndReplugReconnectThroughOneDebouncedPass()
{
    VirtualMouse &mouse = m_backend->addMouse(553);
    makeWidget();
    QTimer *timer = m_widget->detectionTimer();
    QSignalSpy passes(timer, &QTimer::timeout);
    m_widget->checkDevice();
    QVERIFY(m_widget->deviceLink().isListening());

    // While the mouse is served, changes do not start a pass.
    m_widget->deviceChanged();
    QVERIFY(!timer->isActive());

    QTest::ignoreMessage(QtInfoMsg, "Device removed");
    mouse.unplug();
    QTRY_COMPARE(m_widget->trayIcon()->toolTip(),
                 QStringLiteral("Skarn Config: no mouse connected"));
    QVERIFY(!m_widget->deviceLink().isListening());
    QVERIFY(processState.deviceConnected); // removed, not yet disconnected
    // The window stays usable (close, minimise) without its mouse, whatever
    // a busy lock of the scene does; the scene's no-mouse state keeps the
    // panels off.
    for (const char *lock : {"ui_View.setEnabled(false)", "ui_View.setEnabled(true)"}) {
        QQmlExpression(m_widget->view()->rootContext(), m_widget->view()->rootObject(),
                       QString::fromLatin1(lock))
            .evaluate();
        QVERIFY2(m_widget->view()->isEnabled(), lock);
    }

    // Plugged in again, with a burst of further notifications: each one
    // starts the wait afresh, and one pass follows the last.
    mouse.clearRecord();
    mouse.plugIn();
    QTRY_VERIFY(timer->isActive());
    // (A coarse timer may end up to 5 % early, hence the long gaps.)
    for (int i = 0; i < 2; ++i) {
        QTest::qWait(400);
        const int before = timer->remainingTime();
        m_widget->deviceChanged();
        QVERIFY2(timer->remainingTime() > before, qPrintable(QString::number(before)));
    }
    QCOMPARE(passes.count(), 0);
    QTest::ignoreMessage(QtInfoMsg, "Device Connect");
    QTRY_VERIFY_WITH_TIMEOUT(m_widget->deviceLink().isListening(), 5000);
    QTest::qWait(100);
    QCOMPARE(passes.count(), 1);
    QCOMPARE(commandCodes(mouse), (QStringList{"00 12", "83 00", "03 00"}));
    QVERIFY(m_widget->view()->isEnabled());
}

void tst_DeviceDetection::theSceneReachesTheLinkAsHid()
{
    configure({{"mouse/icType", "560"}});
    VirtualMouse &mouse = m_backend->addMouse(560);
    makeWidget();
    QQmlContext *context = m_widget->view()->rootContext();
    QCOMPARE(context->contextProperty("hid").value<QObject *>(), &m_widget->deviceLink());
    QCOMPARE(m_widget->view()->deviceLink(), &m_widget->deviceLink());
    m_widget->checkDevice();
    mouse.clearRecord();

    // The main scene sets the device profile directly.
    QQmlExpression call(context, m_widget->view()->rootObject(),
                        QStringLiteral("hid.hid560_02H_SetCurrentProfile(3)"));
    call.evaluate();
    QVERIFY2(!call.hasError(), qPrintable(call.error().toString()));
    QCOMPARE(mouse.commands(), QList<QByteArray>{QByteArray::fromHex("0002030000000000fa")});
    QCOMPARE(mouse.state().currentProfile, uchar(3));

    QVERIFY(m_widget->deviceLink().isListening());
    QTimer::singleShot(0, m_widget.get(), &Widget::exitSYS);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_widget->deviceLink().isListening()); // quitting stops the listener
}

QTEST_MAIN(tst_DeviceDetection)
#include "tst_devicedetection.moc"
