#include "myqquickview.h"
#include "qtfiledialogs.h"
#include "session.h"
#include "testdatafolder.h"
#include "ui_controler.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class tst_UiControler : public QObject
{
    Q_OBJECT
    TestDataFolder m_folder;
    Session m_session{m_folder.path(), nullptr};

private slots:
    void hostWindowAndDialogs()
    {
        auto window = std::make_unique<QWidget>();
        Ui_Controler controller;
        controller.setupUi(window.get(), m_session, "qrc:/scenes/recorder.qml");
        myQQuickView *view = controller.view();
        QVERIFY(view->rootObject());
        // Frameless, see-through, and a size a window manager cannot stretch.
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint) &&
                window->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(QList<QSize>({window->minimumSize(), window->maximumSize()}),
                 QList<QSize>(2, QSize(1024, 640)));
        QCOMPARE(view->parentWidget(), window.get());
        QCOMPARE(view->rootContext()->contextProperty("ui_View").value<QObject *>(), view);
        QCOMPARE(view->rootContext()->contextProperty("ui_Ctl").value<QObject *>(), &controller);

        // The file dialogs are windows of their own (the see-through window's
        // style would make them unreadable) and start in an existing folder:
        // a missing Desktop folder would come up as a file name.
        QTemporaryDir home; // HOME stays there: nothing else here reads it
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
        QCOMPARE(QtFileDialogs::startFolder(), home.path());
        QDir(home.path()).mkdir("Desktop");
        const std::unique_ptr<QFileDialog> dialog =
            QtFileDialogs(view).makeDialog(QFileDialog::AcceptSave, "Profile(*.pf)");
        QCOMPARE(dialog->directory().absolutePath(), home.filePath("Desktop"));
        QVERIFY(!dialog->parentWidget() && dialog->windowModality() == Qt::ApplicationModal);
        QCOMPARE(dialog->nameFilters(), QStringList{"Profile(*.pf)"});

        // Moved by offsets; dragged off the screen (800 x 600 here), the
        // title bar stays below the top and 120 pixels of it in reach.
        const QRect area = window->screen()->availableVirtualGeometry();
        const auto drag = [&](int dx, int dy) {
            controller.onXChanged(dx);
            controller.onYChanged(dy);
            return window->pos();
        };
        window->move(100, 200);
        QCOMPARE(QList<QPoint>({drag(10, -5), drag(-5000, -1000), drag(5000, 5000)}),
                 QList<QPoint>({{110, 195},
                                area.topLeft() + QPoint(120 - 1024, 0),
                                area.bottomRight() + QPoint(1 - 120, 1 - 56)}));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        controller.onMinimize();
        QTRY_VERIFY(window->isMinimized());
        // A question for the user brings it back, also from the task bar.
        controller.onShow();
        QTRY_VERIFY(!window->isMinimized());
        // With nothing to iconify it (no window manager here), the window
        // stays on screen: it is not left minimised, with its view asleep.
        controller.onMinimize();
        QTRY_VERIFY(window->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isMinimized(), 3000);
        controller.onClose();
        QVERIFY(!window->isVisible());
        // Hidden, not destroyed: busy locks the scene at once.
        controller.setBusy(1000);
        controller.setBusy();
        QCOMPARE(view->rootObject()->property("calls").toStringList(),
                 (QStringList{"setProtectUI 1000", "setProtectUI 0"}));
        // A window destroyed under the controller is forgotten.
        window.reset();
        controller.onXChanged(5);
        controller.onShow();
        QVERIFY(!controller.window());
    }
};

QTEST_MAIN(tst_UiControler)
#include "tst_ui_controler.moc"
