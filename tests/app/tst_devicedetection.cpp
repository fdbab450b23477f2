#include "devicechangemonitor.h"
#include "devicedetector.h"
#include "devicetablefile.h"
#include "myqquickview.h"
#include "processstate.h"
#include "settingsstore.h"
#include "testdatafolder.h"
#include "virtualmouse.h"
#include "widget.h"

#include <QAction>
#include <QElapsedTimer>
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
#include <memory>

Q_DECLARE_METATYPE(VirtualMouse::Fault)

class tst_DeviceDetection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsTheTable();
    void lastMatchingInterfaceWins();
    void connectsAndStartsTheScene_data();
    void connectsAndStartsTheScene();
    void firstAnsweringEntryWins();
    void nothingToServe_data();
    void nothingToServe();
    void damagedTableFallsBackToTheFactoryTable_data();
    void damagedTableFallsBackToTheFactoryTable();
    void deniedAccessIsToldOnce_data();
    void deniedAccessIsToldOnce();
    void lostIdentityReplyIsRetried_data();
    void lostIdentityReplyIsRetried();
    void passDuringATransferWaitsForIt();
    void trayShowsTheWindowAndSwitchesProfiles_data();
    void trayShowsTheWindowAndSwitchesProfiles();
    void unplugAndReplugReconnectThroughOneDebouncedPass();
    void theSceneReachesTheLinkAsHid();

private:
    void configure(const QMap<QString, QVariant> &values, const QStringList &remove = {});
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

void tst_DeviceDetection::readsTheTable()
{
    configure({{"common/deviceCount", 4},
               {"1/type", "zz"},
               {"1/vid", "12G4"},
               {"1/pid", "fffff"},
               {"1/usagePage", "0xff00"},
               {"1/usage", "1"},
               {"1/reportLength", 64},
               {"1/isEncode", "false"},
               {"1/sCode", "1234"},
               {"3/type", "0"}});
    const DeviceTable table = DeviceTableFile::read(QStringLiteral("modules/setting/apConfig.bin"));
    QCOMPARE(table.size(), 4);
    const DeviceEntry &first = table.at(0);
    QCOMPARE(first.type, 1);
    QCOMPARE(first.vid, quint16(0x1209));
    QCOMPARE(first.pid, quint16(0x0001));
    QCOMPARE(first.usagePage, quint16(0xFF00));
    QCOMPARE(first.usage2, quint16(0xFF01));
    QCOMPARE(first.reportLength, 32);
    QVERIFY(first.isEncode);
    QCOMPARE(first.sCode, QStringLiteral("370524"));
    QVERIFY(first.interfacePath1.isEmpty());

    // Texts that are not hexadecimal, or too big, give 0.
    const DeviceEntry &odd = table.at(1);
    QCOMPARE(odd.type, 0);
    QCOMPARE(odd.vid, quint16(0));
    QCOMPARE(odd.pid, quint16(0));
    QCOMPARE(odd.usagePage, quint16(0xFF00)); // Qt's base 16 takes a 0x prefix
    QCOMPARE(odd.usage, quint16(1));
    QCOMPARE(odd.reportLength, 64);
    QVERIFY(!odd.isEncode);
    QCOMPARE(odd.sCode, QStringLiteral("1234"));

    // A missing section takes every default.
    const DeviceEntry &missing = table.at(2);
    QCOMPARE(missing.type, -1);
    QCOMPARE(missing.vid, quint16(0));
    QCOMPARE(missing.reportLength, 32);
    QVERIFY(!missing.isEncode);
    QCOMPARE(missing.sCode, QStringLiteral("370524"));
    QCOMPARE(table.at(3).type, 0);

    configure({{"common/deviceCount", 100000}});
    QCOMPARE(DeviceTableFile::read(QStringLiteral("modules/setting/apConfig.bin")).size(),
             DeviceTableFile::maxDevices);
    QCOMPARE(DeviceTableFile::read(QStringLiteral("modules/setting/none.bin")).size(), 0);
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

void tst_DeviceDetection::nothingToServe_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("count 0") << "count 0";
    QTest::newRow("unplugged") << "unplugged";
    QTest::newRow("not answering") << "not answering";
    QTest::newRow("other secrecy code") << "other secrecy code";
    QTest::newRow("wrong interface") << "wrong interface";
}

void tst_DeviceDetection::nothingToServe()
{
    QFETCH(QString, setup);
    DeviceEntry row = VirtualMouse::factoryRow();
    if (setup == "other secrecy code")
        row.sCode = QStringLiteral("999999");
    if (setup == "wrong interface")
        row.usage = 0x0001;
    VirtualMouse &mouse = m_backend->addMouse(553, row);
    if (setup == "count 0")
        configure({{"common/deviceCount", 0}});
    if (setup == "unplugged")
        mouse.unplug();
    if (setup == "not answering")
        mouse.setAnswering(false);
    makeWidget();
    QSignalSpy messages(m_widget.get(), &Widget::trayMessageShown);
    processState.deviceConnected = true;

    for (int pass = 0; pass < 2; ++pass) {
        m_widget->show();
        QTest::ignoreMessage(QtInfoMsg, "Device DisConnect");
        m_widget->checkDevice();
        QVERIFY(!processState.deviceConnected);
        QVERIFY(!m_widget->isVisible());
        QVERIFY(!m_widget->deviceLink().isListening());
    }
    QVERIFY(!mouse.eventReportsEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(sceneCalls(), QStringList());
    // A mouse that is absent or silent is not a permission problem.
    QCOMPARE(messages.count(), 0);
}

void tst_DeviceDetection::damagedTableFallsBackToTheFactoryTable_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("no count") << "no count";
    QTest::newRow("count not a number") << "count not a number";
    QTest::newRow("rows without ids") << "rows without ids";
    QTest::newRow("no file") << "no file";
}

void tst_DeviceDetection::damagedTableFallsBackToTheFactoryTable()
{
    QFETCH(QString, setup);
    m_backend->addMouse(553, VirtualMouse::factoryRow());
    if (setup == "no count")
        configure({}, {"common/deviceCount"});
    if (setup == "count not a number")
        configure({{"common/deviceCount", "two"}});
    if (setup == "rows without ids")
        configure({{"common/deviceCount", 2}, {"0/vid", "zz"}, {"1/pid", "0"}});
    makeWidget();
    if (setup == "no file")
        QVERIFY(QFile::remove(QStringLiteral("modules/setting/apConfig.bin")));
    QSignalSpy notices(m_widget->view(), &myQQuickView::userNotice);
    for (int pass = 0; pass < 2; ++pass) {
        QTest::ignoreMessage(QtInfoMsg, "Device Connect");
        m_widget->checkDevice();
        QVERIFY(processState.deviceConnected);
    }
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.at(0).at(0).toString(),
             myQQuickView::refusalText(myQQuickView::DamagedDeviceTable, "English"));
}

void tst_DeviceDetection::deniedAccessIsToldOnce_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("entry8");
    QTest::addColumn<QString>("expected");
    const QString fallback = QString::fromLatin1(DeviceDetector::accessDeniedFallback);
    QTest::newRow("English text") << "English"
                                  << "No access: install the rule"
                                  << "No access: install the rule";
    QTest::newRow("Chinese text") << "ChineseSimplified"
                                  << "无法访问鼠标"
                                  << "无法访问鼠标";
    QTest::newRow("no entry 8") << "English" << QString() << fallback;
    QTest::newRow("empty entry 8") << "English"
                                   << "" << fallback;
    QTest::newRow("hostile language") << "../setting/apConfig"
                                      << "x" << fallback;
}

void tst_DeviceDetection::deniedAccessIsToldOnce()
{
    QFETCH(QString, language);
    QFETCH(QString, entry8);
    QFETCH(QString, expected);
    configure({{"common/language", language}});
    {
        const QString file = "modules/i18n/" +
                             (language.startsWith("..") ? QStringLiteral("English") : language) +
                             ".ini";
        QSettings texts(file, QSettings::IniFormat);
        if (entry8.isNull()) {
            texts.setValue("other/total", 8); // a language file from before the notice
            texts.remove("other/8");
        } else {
            texts.setValue("other/total", 9);
            texts.setValue("other/8", entry8);
        }
    }
    VirtualMouse &mouse = m_backend->addMouse(553);
    mouse.setAccessDenied(true);
    makeWidget();
    QSignalSpy messages(m_widget.get(), &Widget::trayMessageShown);

    for (int pass = 0; pass < 3; ++pass) {
        QTest::ignoreMessage(QtInfoMsg, "Device DisConnect");
        m_widget->checkDevice();
        QVERIFY(!processState.deviceConnected);
        QVERIFY(!m_widget->isVisible());
    }
    QCOMPARE(messages.count(), 1);
    // The balloons speak the language too.
    const bool chinese = language == QLatin1String("ChineseSimplified");
    QCOMPARE(messages.at(0).at(0).toString(), chinese ? QStringLiteral("提示") : "Info");
    QCOMPARE(messages.at(0).at(1).toString(), expected);
    QCOMPARE(mouse.openCount(), 0);
    QVERIFY(mouse.received().isEmpty());

    // With the rule in place, the next pass serves the mouse as usual.
    mouse.setAccessDenied(false);
    QTest::ignoreMessage(QtInfoMsg, "Device Connect");
    m_widget->checkDevice();
    QVERIFY(processState.deviceConnected);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.at(1).at(1).toString(),
             chinese ? QStringLiteral("已检测到鼠标") : "Detect Device");
}

void tst_DeviceDetection::trayShowsTheWindowAndSwitchesProfiles_data()
{
    QTest::addColumn<bool>("denied");
    QTest::newRow("no mouse") << false;
    QTest::newRow("access denied") << true;
}

// With the real scene: a click on the tray icon without a mouse shows the
// window in its no-mouse state with the reason; once the mouse is served,
// the tray menu's profile entries switch profiles as the title bar does.
void tst_DeviceDetection::trayShowsTheWindowAndSwitchesProfiles()
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
        mouse = &m_backend->addMouse(553);
    m_widget->checkDevice();
    QTRY_COMPARE(root->property("mouseConnected").toBool(), true);
    QVERIFY(!root->findChild<QQuickItem *>("noMousePanel")->isVisible());
    QCOMPARE(tray->toolTip(), QStringLiteral("Skarn Config: mouse 1209:0001 connected"));

    // A second profile that reports at 125 Hz (code 8).
    QObject *manager = root->findChild<QObject *>("profiles");
    QVERIFY(QMetaObject::invokeMethod(manager, "newProfile"));
    m_widget->view()->store()->profile(1)->setValue("mouse/reportRate", 0);
    m_widget->fillProfileMenu();
    QList<QAction *> entries = m_widget->profileActions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Standard"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("profile_0"));
    QVERIFY(entries.at(0)->isChecked());
    QVERIFY(entries.at(1)->isEnabled());
    QVERIFY(!commandCodes(*mouse).contains("01 08"));
    entries.at(1)->trigger();
    QTRY_COMPARE(root->property("profileNo").toInt(), 1);
    QVERIFY(commandCodes(*mouse).contains("01 08"));
    m_widget->fillProfileMenu();
    entries = m_widget->profileActions();
    QVERIFY(!entries.at(0)->isChecked());
    QVERIFY(entries.at(1)->isChecked());
}

void tst_DeviceDetection::lostIdentityReplyIsRetried_data()
{
    QTest::addColumn<VirtualMouse::Fault>("fault");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<int>("exchanges"); // 00H reports the mouse received
    // Tried again after a short pause; the connect sequence's 03H follows.
    QTest::newRow("one reply lost")
        << VirtualMouse::Fault::DropReply << true << QList<int>{100, 8} << 2;
    QTest::newRow("silent") << VirtualMouse::Fault::Silent << false << QList<int>{100, 200, 400}
                            << 0;
    // An answer that came wrong is not a lost one.
    QTest::newRow("wrong answer") << VirtualMouse::Fault::Garbage << false << QList<int>{} << 1;
}

void tst_DeviceDetection::lostIdentityReplyIsRetried()
{
    QFETCH(VirtualMouse::Fault, fault);
    QFETCH(bool, connected);
    QFETCH(QList<int>, pauses);
    QFETCH(int, exchanges);
    VirtualMouse &mouse = m_backend->addMouse(553);
    makeWidget();
    QList<int> slept;
    m_widget->deviceLink().setSleep([&slept](int ms) { slept << ms; });
    mouse.setFault(fault);

    m_widget->checkDevice();
    QCOMPARE(processState.deviceConnected, connected);
    QCOMPARE(m_widget->isVisible(), connected);
    QCOMPARE(slept, pauses);
    QCOMPARE(commandCodes(mouse).filter(QRegularExpression("^00 ")).size(), exchanges);
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
    m_widget->checkDevice();
    QVERIFY(m_widget->deviceLink().isListening());

    // While the mouse is served, changes do not start a pass.
    m_widget->deviceChanged();
    QVERIFY(!timer->isActive());

    QTest::ignoreMessage(QtInfoMsg, "Device removed");
    QElapsedTimer clock;
    clock.start();
    mouse.unplug();
    QTRY_COMPARE_WITH_TIMEOUT(m_widget->trayIcon()->toolTip(),
                              QStringLiteral("Skarn Config: no mouse connected"), 2000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!m_widget->deviceLink().isListening());
    QVERIFY(processState.deviceConnected); // removed, not yet disconnected
    // The window stays usable (close, minimise) without its mouse, whatever
    // a busy lock of the scene does; the scene's no-mouse state keeps the
    // panels off.
    for (const char *lock : {"ui_View.setEnabled(false)", "ui_View.setEnabled(true)"}) {
        QQmlExpression expression(m_widget->view()->rootContext(), m_widget->view()->rootObject(),
                                  QString::fromLatin1(lock));
        expression.evaluate();
        QVERIFY(!expression.hasError());
        QVERIFY2(m_widget->view()->isEnabled(), lock);
    }

    // Plugged in again, with a burst of further notifications.
    mouse.clearRecord();
    mouse.plugIn();
    QTRY_VERIFY(timer->isActive());
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(150);
        m_widget->deviceChanged();
    }
    clock.restart();
    // Restarted by the last notification: a timer left running since the
    // plug-in would have at most 2048 - 450 ms to go.
    QVERIFY2(timer->remainingTime() > 1700, qPrintable(QString::number(timer->remainingTime())));
    QTest::ignoreMessage(QtInfoMsg, "Device Connect");
    QTRY_VERIFY_WITH_TIMEOUT(m_widget->deviceLink().isListening(), 4000);
    QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(100);
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
