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
    void init();
    void cleanup();
    void buildsTheFramelessHost();
    void dragMovesTheWindowByTheOffsets();
    void minimiseCloseAndBusy();
    void withoutWindowNothingHappens();
    void fileDialogsStandApartFromTheWindow();

private:
    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Ui_Controler> m_controller;
};

void tst_UiControler::init()
{
    m_folder = std::make_unique<TestDataFolder>();
    m_window = std::make_unique<QWidget>();
    m_controller = std::make_unique<Ui_Controler>();
    m_controller->setupUi(m_window.get(), "qrc:/scenes/recorder.qml");
    QVERIFY(m_controller->view()->rootObject());
}

void tst_UiControler::cleanup()
{
    m_controller.reset();
    m_window.reset();
    m_folder.reset();
}

void tst_UiControler::buildsTheFramelessHost()
{
    QWidget *window = m_window.get();
    QCOMPARE(window->objectName(), QStringLiteral("Widget"));
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->windowFlags().testFlag(Qt::CustomizeWindowHint));
    QVERIFY(window->isWindow());
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window->styleSheet(), QStringLiteral("background:transparent;"));
    QCOMPARE(window->size(), QSize(1024, 640));
    // Size hints a window manager keeps to: it cannot stretch the window.
    QCOMPARE(window->minimumSize(), QSize(1024, 640));
    QCOMPARE(window->maximumSize(), QSize(1024, 640));
    QCOMPARE(window->windowTitle(), QStringLiteral("Skarn Config"));

    myQQuickView *view = m_controller->view();
    QCOMPARE(view->parentWidget(), window);
    QCOMPARE(view->objectName(), QStringLiteral("ui_View"));
    QCOMPARE(view->size(), QSize(1024, 640));
    QQmlContext *context = view->rootContext();
    QCOMPARE(context->contextProperty("ui_View").value<QObject *>(), view);
    QCOMPARE(context->contextProperty("ui_Ctl").value<QObject *>(), m_controller.get());
}

void tst_UiControler::dragMovesTheWindowByTheOffsets()
{
    m_window->move(100, 200);
    m_controller->onXChanged(10);
    QCOMPARE(m_window->pos(), QPoint(110, 200));
    m_controller->onYChanged(5);
    QCOMPARE(m_window->pos(), QPoint(110, 205));
    m_controller->onXChanged(-30);
    m_controller->onYChanged(-5);
    QCOMPARE(m_window->pos(), QPoint(80, 200));
}

void tst_UiControler::minimiseCloseAndBusy()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_controller->onMinimize();
    QTRY_VERIFY(m_window->isMinimized());
    m_window->showNormal();
    m_controller->onClose();
    QVERIFY(!m_window->isVisible());
    // A question for the user brings it back, also from the task bar.
    m_controller->onShow();
    QVERIFY(m_window->isVisible());
    m_controller->onMinimize();
    QTRY_VERIFY(m_window->isMinimized());
    m_controller->onShow();
    QTRY_VERIFY(!m_window->isMinimized());
    m_controller->onClose();
    // Hidden, not destroyed: the view and its scene live on.
    QObject *root = m_controller->view()->rootObject();
    QVERIFY(root);
    // Busy locks the scene at once, visible or not.
    m_controller->setBusy(1000);
    m_controller->setBusy();
    QCOMPARE(root->property("calls").toStringList(),
             (QStringList{"setProtectUI 1000", "setProtectUI 0"}));
}

void tst_UiControler::withoutWindowNothingHappens()
{
    Ui_Controler bare;
    bare.onMinimize();
    bare.onClose();
    bare.onShow();
    bare.onXChanged(5);
    bare.onYChanged(5);
    bare.setBusy(3);
    QVERIFY(!bare.window());

    // A window destroyed under the controller is forgotten.
    auto window = std::make_unique<QWidget>();
    Ui_Controler controller;
    controller.setupUi(window.get(), "qrc:/scenes/recorder.qml");
    window.reset();
    controller.onXChanged(5);
    QVERIFY(!controller.window());
}

// The file dialogs are windows of their own (the see-through window's style
// would make them unreadable) and start in an existing folder: a missing
// Desktop folder would come up as a file name.
void tst_UiControler::fileDialogsStandApartFromTheWindow()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
    const QString withoutDesktop = QtFileDialogs::startFolder();
    QDir(home.path()).mkdir("Desktop");
    const QString withDesktop = QtFileDialogs::startFolder();
    QtFileDialogs dialogs(m_controller->view());
    const std::unique_ptr<QFileDialog> dialog =
        dialogs.makeDialog(QFileDialog::AcceptSave, "Profile(*.pf)");
    qputenv("HOME", oldHome);
    qunsetenv("XDG_CONFIG_HOME");

    QCOMPARE(withoutDesktop, home.path());
    QCOMPARE(withDesktop, home.filePath("Desktop"));
    QCOMPARE(dialog->directory().absolutePath(), home.filePath("Desktop"));
    QVERIFY(!dialog->parentWidget());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Save File"));
    QCOMPARE(dialog->nameFilters(), QStringList{"Profile(*.pf)"});
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
}

QTEST_MAIN(tst_UiControler)
#include "tst_ui_controler.moc"
