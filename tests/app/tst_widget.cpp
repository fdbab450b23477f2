#include "commandrunner.h"
#include "myqquickview.h"
#include "processstate.h"
#include "sceneprofiles.h"
#include "testdatafolder.h"
#include "userevent.h"
#include "virtualmouse.h"
#include "widget.h"

#include <QAction>
#include <QBackingStore>
#include <QMenu>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_Widget : public QObject
{
    Q_OBJECT

    // The profile names of the name list, each ending in its number.
    static void storeProfileNames(const QStringList &names)
    {
        QSettings("modules/setting/name.bin", QSettings::IniFormat)
            .setValue("profile/profileName", names);
    }
    // The tray menu's profile entries as the menu is about to show.
    static QList<QAction *> trayProfileEntries(Widget &widget)
    {
        emit widget.trayIcon()->contextMenu()->aboutToShow();
        return widget.profileActions();
    }

private slots:
    void startsHiddenWithTrayThenRunsTheScene()
    {
        TestDataFolder folder;
        Widget widget(nullptr, "qrc:/scenes/recorder.qml");
        QObject *scene = widget.view()->rootObject();
        QStringList menu;
        for (QAction *action : widget.trayIcon()->contextMenu()->actions())
            menu << (action == widget.quitAction() ? "quit:" : "") +
                        (action->isSeparator() ? "-" : action->text());
        QCOMPARE(menu, (QStringList{"Show window", "-", "-", "quit:Quit (&Q)"}));
        // Only the icon file's pictures of tray sizes are kept.
        QCOMPARE(widget.trayIcon()->icon().availableSizes(),
                 (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
        QCoreApplication::postEvent(&widget, new UserEvent(1));
        QCoreApplication::postEvent(&widget, new QEvent(QEvent::Type(QEvent::User + 1)));
        widget.startScene();
        QCOMPARE(scene->property("calls").toStringList(), QStringList());
        QTRY_COMPARE(scene->property("calls").toStringList(), (QStringList{"initUI", "run"}));

        // Hidden in the tray without a window-sized frame.
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
        widget.hide();
        QCoreApplication::processEvents();
        QCOMPARE(widget.backingStore()->size(), QSize(1, 1));
        widget.show();
        QTRY_COMPARE(widget.backingStore()->size(), widget.size());
        // Closed without a tray host (none offscreen; the end-to-end test closes
        // to a tray), the program quits: nothing could bring the window back.
        QVERIFY(aboutToQuit.isEmpty() && !QSystemTrayIcon::isSystemTrayAvailable());
        QTimer::singleShot(0, &widget, &QWidget::close);
        QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); }); // still running
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(aboutToQuit.size(), 1);
    }

    void activationShowsTheWindow_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("reason"); // -1: the Show window entry, -2: a second copy
        // A StatusNotifier host sends one activation (Trigger) for a click.
        for (bool connected : {false, true})
            for (int reason : {2, 3, -2}) // double click, click, second copy
                QTest::addRow("%d, device %d", reason, connected) << connected << reason;
        QTest::newRow("context, device") << true << int(QSystemTrayIcon::Context);
        QTest::newRow("show window entry") << false << -1;
    }
    void activationShowsTheWindow()
    {
        QFETCH(bool, connected);
        QFETCH(int, reason);
        TestDataFolder folder;
        Widget widget(nullptr, "qrc:/scenes/recorder.qml");
        widget.showMinimized();
        widget.setVisible(false);
        processState.deviceConnected = connected;
        if (reason == -2)
            widget.receiveMessage(QString());
        else if (reason == -1)
            widget.showAction()->trigger();
        else
            widget.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
        processState.deviceConnected = false;
        QVERIFY(!widget.isVisible()); // the restore is posted, never done on the spot
        QTest::qWait(50);
        QCOMPARE(widget.isVisible(), reason != QSystemTrayIcon::Context);
        if (widget.isVisible())
            QTRY_VERIFY(!widget.isMinimized());
    }

    // Profile names are the user's text: "&" is a character, not a shortcut
    // mark, and a long name does not stretch the tray menu off the screen.
    void trayMenuShowsProfileNamesAsWritten()
    {
        TestDataFolder folder;
        const QString longName(200, QLatin1Char('W'));
        storeProfileNames({"Standard0", "R&D1", longName + "2"});
        Widget widget;
        widget.showWindow(); // starts the scene, which reads the names
        QTRY_VERIFY(!trayProfileEntries(widget).isEmpty());
        QStringList texts;
        for (const QAction *action : trayProfileEntries(widget))
            texts << action->text();
        QCOMPARE(texts.mid(0, 2), (QStringList{"Standard", "R&&D"}));
        QVERIFY2(texts.value(2).size() < 60 && texts.value(2).endsWith(QChar(0x2026)),
                 qPrintable(texts.value(2)));
    }

    // A transfer lets events run: the tray's profile entries and the command
    // line wait until it is over rather than mix their traffic into it.
    void aTransferKeepsTheTrayAndCommandsOut()
    {
        TestDataFolder folder;
        storeProfileNames({"Standard0", "Gaming1"});
        VirtualMouseBackend backend;
        backend.addMouse(553);
        Widget widget(nullptr, QString(), &backend);
        widget.deviceLink().setSleep([](int) {});
        QTest::ignoreMessage(QtInfoMsg, "Device Connect");
        widget.checkDevice();
        QQuickItem *root = widget.view()->rootObject();
        const auto entries = [&widget] {
            QString enabled;
            for (const QAction *action : trayProfileEntries(widget))
                enabled += action->isEnabled() ? '1' : '0';
            return enabled;
        };
        QTRY_COMPARE(entries(), QStringLiteral("11"));
        const CommandLine status = CommandLine::parse({"skarn-config", "status"});
        for (bool locked : {true, false}) {
            widget.view()->setEnabled(!locked);
            QCOMPARE(entries(), locked ? QStringLiteral("00") : QStringLiteral("11"));
            widget.profileActions().at(1)->trigger();
            QCoreApplication::processEvents();
            QTRY_COMPARE(SceneProfiles::active(root), locked ? 0 : 1);
            QCOMPARE(CommandRunner(widget).run(status).exitCode, locked ? 1 : 0);
        }
        widget.deviceLink().requestStop();
        backend.mouse(0).unplug();
    }

    // The scene's notices reach the tray while the window is hidden, and only
    // its notice bar while the user works in it; the tray's Quit goes through
    // the scene, which asks first, in a shown window, while changes are unsaved.
    void noticesAndQuitGoThroughTheScene()
    {
        TestDataFolder folder;
        Widget widget;
        QSignalSpy tray(&widget, &Widget::trayMessageShown);
        QQuickItem *root = widget.view()->rootObject();
        root->setVisible(true);
        widget.view()->notifyUser(QStringLiteral("Not written"));
        // A notice of the start, before the window it starts shows: the bar says it.
        widget.showOnceRunning();
        widget.view()->notifyUser(QStringLiteral("Files set aside"));
        widget.show();
        widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&widget));
        widget.view()->notifyUser(QStringLiteral("Not written either"));
        QCOMPARE(QList<QVariantList>(tray), (QList<QVariantList>{{"Skarn Config", "Not written"}}));
        QCOMPARE(root->property("noticeText"), QVariant("Not written either"));
        root->findChild<QObject *>("dpiSettingMain")->setProperty("isSave", true);
        widget.quitAction()->trigger();
        const auto prompt = [root] {
            return root->findChild<QObject *>("unsavedPrompt");
        };
        QTRY_VERIFY(prompt() && prompt()->property("visible").toBool());
        QVERIFY(widget.isVisible());
        QVERIFY(!widget.quitRequested());
    }
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
