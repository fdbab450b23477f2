#include "myqquickview.h"
#include "processstate.h"
#include "testdatafolder.h"
#include "userevent.h"
#include "widget.h"

#include <QAction>
#include <QBackingStore>
#include <QMenu>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

class tst_Widget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsHiddenWithTrayThenRunsTheScene();
    void activationShowsTheWindow_data();
    void activationShowsTheWindow();
    void closingHidesToTheTray();
    void noticesAndQuitGoThroughTheScene();

private:
    QStringList calls() const;

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<Widget> m_widget;
};

void tst_Widget::init()
{
    processState.deviceConnected = false;
    m_folder = std::make_unique<TestDataFolder>();
    m_widget = std::make_unique<Widget>(nullptr, "qrc:/scenes/recorder.qml");
    QVERIFY(m_widget->view()->rootObject());
}

void tst_Widget::cleanup()
{
    m_widget.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_folder.reset();
    processState.deviceConnected = false;
}

QStringList tst_Widget::calls() const
{
    return m_widget->view()->rootObject()->property("calls").toStringList();
}

// The tray menu: Show window, the profiles between two separators (none
// before the scene has started), Quit. initUI and run of the scene travel
// through the event queue, nothing runs on the spot; custom events of other
// kinds are ignored.
void tst_Widget::startsHiddenWithTrayThenRunsTheScene()
{
    QCOMPARE(m_widget->size(), QSize(1024, 640));
    QSystemTrayIcon *tray = m_widget->trayIcon();
    QCOMPARE(tray->toolTip(), QStringLiteral("Skarn Config: no mouse connected"));
    QVERIFY(!tray->icon().availableSizes().isEmpty());
    QStringList menu;
    for (QAction *action : tray->contextMenu()->actions())
        menu << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(menu, (QStringList{"Show window", "-", "-", "Quit (&Q)"}));
    QCOMPARE(tray->contextMenu()->actions().last(), m_widget->quitAction());
    QTimer *timer = m_widget->detectionTimer();
    QCOMPARE(timer->interval(), 2048);
    QVERIFY(timer->isSingleShot() && !timer->isActive());

    QCoreApplication::postEvent(m_widget.get(), new UserEvent(1));
    QCoreApplication::postEvent(m_widget.get(), new QEvent(QEvent::Type(QEvent::User + 1)));
    m_widget->startScene();
    QCOMPARE(calls(), QStringList());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(calls(), QStringList{"initUI"});
    QTRY_COMPARE(calls(), (QStringList{"initUI", "run"}));

    // The real scene stays hidden and idle until the first initUI.
    Widget real;
    QQuickItem *root = real.view()->rootObject();
    QVERIFY(root);
    QVERIFY(!root->isVisible());
    QCOMPARE(root->property("isPownOn").toBool(), false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Widget::activationShowsTheWindow_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("fromSecondCopy");
    QTest::addColumn<bool>("shown");

    // A StatusNotifier host sends one activation (Trigger) for a click.
    const int doubleClick = QSystemTrayIcon::DoubleClick;
    const int click = QSystemTrayIcon::Trigger;
    QTest::newRow("double click, no device") << false << doubleClick << false << true;
    QTest::newRow("double click, device") << true << doubleClick << false << true;
    QTest::newRow("single click, device") << true << click << false << true;
    QTest::newRow("single click, no device") << false << click << false << true;
    QTest::newRow("context, device") << true << int(QSystemTrayIcon::Context) << false << false;
    QTest::newRow("second copy, no device") << false << 0 << true << true;
    QTest::newRow("second copy, device") << true << 0 << true << true;
    QTest::newRow("show window entry, no device") << false << -1 << false << true;
}

void tst_Widget::activationShowsTheWindow()
{
    QFETCH(bool, connected);
    QFETCH(int, reason);
    QFETCH(bool, fromSecondCopy);
    QFETCH(bool, shown);

    m_widget->showMinimized();
    m_widget->setVisible(false);
    processState.deviceConnected = connected;
    if (fromSecondCopy)
        m_widget->receiveMessage(QString());
    else if (reason < 0)
        m_widget->showAction()->trigger();
    else
        m_widget->trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
    // The restore is posted, never done on the spot.
    QVERIFY(!m_widget->isVisible());
    QTest::qWait(50);
    QCOMPARE(m_widget->isVisible(), shown);
    if (shown)
        QTRY_VERIFY(!m_widget->isMinimized());
}

// Closing hides to the tray; only the tray menu's Quit ends the loop.
void tst_Widget::closingHidesToTheTray()
{
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
    const QSize size = m_widget->size();
    QTRY_COMPARE(m_widget->backingStore()->size(), size);
    const QImage frame = m_widget->view()->grabFramebuffer();
    QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
    QVERIFY(!m_widget->close());
    QVERIFY(!m_widget->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(aboutToQuit.isEmpty());
    // Hidden, neither the window nor the view keeps a window-sized frame;
    // shown, both have theirs again and show the same.
    QCOMPARE(m_widget->backingStore()->size(), QSize(1, 1));
    QCOMPARE(m_widget->view()->grabFramebuffer().size(), QSize(1, 1));
    m_widget->show();
    QTRY_COMPARE(m_widget->backingStore()->size(), size);
    QCOMPARE(m_widget->view()->grabFramebuffer(), frame);
    QTimer::singleShot(0, m_widget->quitAction(), &QAction::trigger);
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(aboutToQuit.size(), 1);
}

// The scene's notices reach the tray; the tray's Quit goes through the
// scene, which asks first while there are unsaved changes.
void tst_Widget::noticesAndQuitGoThroughTheScene()
{
    Widget widget;
    QSignalSpy tray(&widget, &Widget::trayMessageShown);
    QQuickItem *root = widget.view()->rootObject();
    QVERIFY(root);
    root->setVisible(true);
    widget.view()->notifyUser(QStringLiteral("Not written"));
    QCOMPARE(tray.size(), 1);
    QCOMPARE(tray.at(0), (QList<QVariant>{"Skarn Config", "Not written"}));
    QTRY_COMPARE(root->property("noticeText").toString(), QStringLiteral("Not written"));

    QObject *prompt = root->findChild<QObject *>("unsavedPrompt");
    QVERIFY(prompt);
    root->findChild<QObject *>("dpiSettingMain")->setProperty("isSave", true);
    QAction *quit = widget.trayIcon()->contextMenu()->actions().last();
    QVERIFY(quit);
    quit->trigger();
    QTRY_VERIFY(prompt->property("visible").toBool());
    QVERIFY(widget.isVisible()); // the question is seen, also from the tray
    QVERIFY(!widget.quitRequested());
    QVERIFY(QMetaObject::invokeMethod(root, "answerUnsavedChanges", Q_ARG(int, 2))); // Cancel
    QVERIFY(!prompt->property("visible").toBool());
    QCoreApplication::processEvents();
    QVERIFY(!widget.quitRequested());

    root->findChild<QObject *>("dpiSettingMain")->setProperty("isSave", false);
    quit->trigger();
    QTRY_VERIFY(widget.quitRequested());
    QVERIFY(!prompt->property("visible").toBool());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
