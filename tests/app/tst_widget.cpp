#include "commandrunner.h"
#include "langstrings.h"
#include "myqquickview.h"
#include "session.h"
#include "testdatafolder.h"
#include "userevent.h"
#include "virtualmouse.h"
#include "widget.h"

#include <QAction>
#include <QBackingStore>
#include <QMenu>
#include <QQuickItem>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_Widget : public QObject
{
    Q_OBJECT

    // The profile names of the name list, each ending in its number.
    static void storeProfileNames(const TestDataFolder &folder, const QStringList &names)
    {
        QSettings(folder.filePath("modules/setting/name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", names);
    }
    static QList<QAction *> trayProfileEntries(Widget &widget)
    {
        emit widget.trayIcon()->contextMenu()->aboutToShow();
        return widget.profileActions();
    }

private slots:
    void startsHiddenWithTrayThenRunsTheScene()
    {
        TestDataFolder folder;
        Widget widget(folder.path(), nullptr, "qrc:/scenes/recorder.qml");
        QObject *scene = widget.view()->rootObject();
        // Only the icon file's pictures of tray sizes are kept.
        QCOMPARE(widget.trayIcon()->icon().availableSizes(),
                 (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
        QCoreApplication::postEvent(&widget, new UserEvent(1));
        QCoreApplication::postEvent(&widget, new QEvent(QEvent::Type(QEvent::User + 1)));
        widget.startScene();
        QCOMPARE(scene->property("calls").toStringList(), QStringList());
        // The help menu's first row: the manual beside the program.
        QCOMPARE(widget.view()->manualUrl(),
                 QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/manual.html")
                     .toString());
        QTRY_COMPARE(scene->property("calls").toStringList(), (QStringList{"initUI", "run"}));

        // Hidden in the tray without a window-sized frame.
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.hide();
        QCoreApplication::processEvents();
        QCOMPARE(widget.backingStore()->size(), QSize(1, 1));
        widget.show();
        QTRY_COMPARE(widget.backingStore()->size(), widget.size());
        // Closed without a tray host, the program quits: nothing could bring the window back.
        QTimer::singleShot(0, &widget, &QWidget::close);
        QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); }); // still running
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void activationShowsTheWindow_data()
    {
        QTest::addColumn<int>("reason"); // -1: the Show window entry, -2: a second copy
        for (int reason : {2, 3, -2, -1, int(QSystemTrayIcon::Context)})
            QTest::addRow("%d", reason) << reason;
    }
    void activationShowsTheWindow()
    {
        QFETCH(int, reason);
        TestDataFolder folder;
        Widget widget(folder.path(), nullptr, "qrc:/scenes/recorder.qml");
        widget.showMinimized();
        widget.setVisible(false);
        if (reason == -2)
            widget.receiveMessage(QString());
        else if (reason == -1)
            widget.showAction()->trigger();
        else
            widget.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
        QVERIFY(!widget.isVisible()); // the restore is posted, never done on the spot
        QTest::qWait(50);
        QCOMPARE(widget.isVisible(), reason != QSystemTrayIcon::Context);
        if (widget.isVisible())
            QTRY_VERIFY(!widget.isMinimized());
    }

    // Profile names: "&" is a character, not a shortcut mark, and a long name does not stretch
    // the tray menu off the screen. Another language relabels the menu and the tooltip at once.
    void trayMenuShowsProfileNamesAsWritten()
    {
        TestDataFolder folder;
        const QString longName(200, QLatin1Char('W'));
        storeProfileNames(folder, {"Standard0", "R&D1", longName + "2"});
        Widget widget(folder.path(), nullptr, "qrc:/scenes/recorder.qml");
        QStringList texts;
        for (const QAction *action : trayProfileEntries(widget))
            texts << action->text();
        QCOMPARE(texts.mid(0, 2), (QStringList{"Standard", "R&&D"}));
        QVERIFY2(texts.value(2).size() < 60 && texts.value(2).endsWith(QChar(0x2026)),
                 qPrintable(texts.value(2)));

        QVERIFY(widget.view()->setLanguage("German"));
        const auto german = [&](const char *group, int i) {
            return LangStrings::read(folder.path(), group, "German").value(i);
        };
        QCOMPARE(QStringList({widget.quitAction()->text(), widget.trayIcon()->toolTip(),
                              trayProfileEntries(widget).value(0)->text()}),
                 QStringList({german("tray", 1), german("tray", 2), german("profile", 5)}));
        QVERIFY(german("tray", 1) != "Quit (&Q)");
    }

    // While the session sends, the tray's switch and the command line's commands wait behind it
    // in order; a status answers at once from what the program knows, and says so. A quit lets
    // the send end or stops it past its bound, between commands: what waited is not run.
    void aSendKeepsTheWindowAndAnswersBehindIt()
    {
        TestDataFolder folder;
        storeProfileNames(folder, {"Standard0", "Gaming1"});
        VirtualMouseBackend backend;
        backend.addMouse(553);
        Widget widget(folder.path(), nullptr, "qrc:/scenes/recorder.qml", &backend);
        Session &session = widget.session();
        QSemaphore held;
        std::atomic<bool> hold = false;
        session.link().setSleep([&](int) {
            if (hold)
                held.acquire();
        });
        // Whatever fails below, the link's thread is let go.
        const std::unique_ptr<QSemaphore, void (*)(QSemaphore *)> release(
            &held, [](QSemaphore *semaphore) { semaphore->release(1000000); });
        QTest::ignoreMessage(QtInfoMsg, "Device Connect");
        widget.checkDevice();
        QTRY_VERIFY(session.isConnected() && !session.isBusy());
        hold = true;
        trayProfileEntries(widget).at(1)->trigger();
        QVERIFY(session.isBusy());
        QList<CommandResult> answers;
        for (const char *args : {"status --json", "profile 1"})
            CommandRunner(session, CommandRunner::Kind::Running)
                .run(CommandLine::parse(("skarn-config " + QString(args)).split(' ')),
                     [&](const CommandResult &result) { answers << result; });
        QCOMPARE(answers.size(), 1);
        QVERIFY2(answers.at(0).out.contains("\"answeredFrom\":\"state\""),
                 qPrintable(answers.at(0).out));
        // The window goes on (its timer ticks); the quit waits, then stops the send past its bound.
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QSignalSpy ticks(&ticker, &QTimer::timeout);
        ticker.start(1);
        widget.setQuitWait(100);
        widget.exitSYS();
        QTest::qWait(200);
        QVERIFY2(ticks.count() > 5, qPrintable(QString::number(ticks.count())));
        QVERIFY(!widget.quitRequested());
        held.release(1000000);
        QTRY_VERIFY(widget.quitRequested());
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers.at(1).exitCode, 1); // stopped: not taken
        QCOMPARE(session.activeProfile(), 1);
    }

    // Notices reach the tray while the window is hidden, only its notice bar while it is used;
    // the tray's Quit asks first, in a shown window, while changes are unsaved.
    void noticesAndQuitGoThroughTheScene()
    {
        TestDataFolder folder;
        Widget widget(folder.path());
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
        QObject *prompt = nullptr;
        QTRY_VERIFY((prompt = root->findChild<QObject *>("unsavedPrompt")) &&
                    prompt->property("visible").toBool());
        QVERIFY(widget.isVisible());
        QVERIFY(!widget.quitRequested());
    }
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
