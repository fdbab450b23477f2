#include "myqquickview.h"
#include "qtfiledialogs.h"
#include "testdatafolder.h"
#include "ui_controler.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

class tst_UiControler : public QObject
{
    Q_OBJECT

private slots:
    void hostAndWindowCalls();
    void fileDialogsStandApartFromTheWindow();

private:
    TestDataFolder m_folder;
};

void tst_UiControler::hostAndWindowCalls()
{
    auto window = std::make_unique<QWidget>();
    Ui_Controler controller;
    controller.setupUi(window.get(), "qrc:/scenes/recorder.qml");
    QObject *root = controller.view()->rootObject();
    QVERIFY(root);
    // Frameless, see-through, and a size a window manager cannot stretch.
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window->minimumSize(), QSize(1024, 640));
    QCOMPARE(window->maximumSize(), QSize(1024, 640));
    QCOMPARE(controller.view()->parentWidget(), window.get());
    QQmlContext *context = controller.view()->rootContext();
    QCOMPARE(context->contextProperty("ui_View").value<QObject *>(), controller.view());
    QCOMPARE(context->contextProperty("ui_Ctl").value<QObject *>(), &controller);

    window->move(100, 200);
    controller.onXChanged(10);
    controller.onYChanged(-5);
    QCOMPARE(window->pos(), QPoint(110, 195));

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    controller.onMinimize();
    QTRY_VERIFY(window->isMinimized());
    // A question for the user brings it back, also from the task bar.
    controller.onShow();
    QTRY_VERIFY(!window->isMinimized());
    controller.onClose();
    QVERIFY(!window->isVisible());
    controller.onShow();
    QVERIFY(window->isVisible());
    controller.onClose();
    // Hidden, not destroyed: busy locks the scene at once.
    controller.setBusy(1000);
    controller.setBusy();
    QCOMPARE(root->property("calls").toStringList(),
             (QStringList{"setProtectUI 1000", "setProtectUI 0"}));

    // A window destroyed under the controller is forgotten.
    window.reset();
    controller.onXChanged(5);
    controller.onShow();
    QVERIFY(!controller.window());
}

// The file dialogs are windows of their own (the see-through window's style
// would make them unreadable) and start in an existing folder: a missing
// Desktop folder would come up as a file name.
void tst_UiControler::fileDialogsStandApartFromTheWindow()
{
    QWidget window;
    Ui_Controler controller;
    controller.setupUi(&window, "qrc:/scenes/recorder.qml");
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
    const QString withoutDesktop = QtFileDialogs::startFolder();
    QDir(home.path()).mkdir("Desktop");
    QtFileDialogs dialogs(controller.view());
    const std::unique_ptr<QFileDialog> dialog =
        dialogs.makeDialog(QFileDialog::AcceptSave, "Profile(*.pf)");
    qputenv("HOME", oldHome);
    qunsetenv("XDG_CONFIG_HOME");

    QCOMPARE(withoutDesktop, home.path());
    QCOMPARE(dialog->directory().absolutePath(), home.filePath("Desktop"));
    QVERIFY(!dialog->parentWidget());
    QCOMPARE(dialog->nameFilters(), QStringList{"Profile(*.pf)"});
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
}

QTEST_MAIN(tst_UiControler)
#include "tst_ui_controler.moc"
