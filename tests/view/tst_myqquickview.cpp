#include "myqquickview.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QQuickItem>
#include <QTest>
#include <QtConcurrent>
#include <memory>

class tst_MyQQuickView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void queuedCallsRunInTheEventLoopInOrder();
    void synchronousCallsRunAtOnce();
    void noSceneIsHarmless();
    void settingsSlotsDelegateToTheStore();

private:
    QStringList calls() const;

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<myQQuickView> m_view;
};

void tst_MyQQuickView::init()
{
    m_folder = std::make_unique<TestDataFolder>();
    m_view = std::make_unique<myQQuickView>();
    m_view->setSource(QUrl("qrc:/scenes/recorder.qml"));
    QVERIFY2(
        m_view->rootObject(),
        qPrintable(m_view->errors().isEmpty() ? QString() : m_view->errors().first().toString()));
}

void tst_MyQQuickView::cleanup()
{
    m_view.reset();
    m_folder.reset();
}

QStringList tst_MyQQuickView::calls() const
{
    return m_view->rootObject()->property("calls").toStringList();
}

void tst_MyQQuickView::queuedCallsRunInTheEventLoopInOrder()
{
    m_view->initUI();
    m_view->runUI();
    // Also from a worker thread, delivered on the GUI thread.
    QtConcurrent::run([view = m_view.get()] { view->setCurrentDPI(3); }).waitForFinished();
    QCOMPARE(calls(), QStringList());
    QTRY_COMPARE(calls(), (QStringList{"initUI", "run", "setCurrentDPI 3"}));
}

void tst_MyQQuickView::synchronousCallsRunAtOnce()
{
    using D = myQQuickView::Delivery;
    m_view->setBusy(250);
    m_view->invokeScene("detectKeyboard", {true, 0x28}, D::Synchronous);
    m_view->invokeScene("detectMouse", {false, 0xF0, 12, -3}, D::Synchronous);
    // Texts that hold numbers are converted for a typed parameter.
    m_view->invokeScene("setProtectUI", {QStringLiteral("40")}, D::Synchronous);
    // Missing functions, or a wrong number of arguments, are ignored.
    m_view->invokeScene("noSuchFunction", {}, D::Synchronous);
    m_view->invokeScene("noSuchFunction", {1, 2}, D::Queued);
    m_view->invokeScene("setProtectUI", {}, D::Synchronous);
    m_view->invokeScene("setProtectUI", {1, 2}, D::Synchronous);
    m_view->setBusy(0);
    QCOMPARE(calls(),
             (QStringList{"setProtectUI 250", "detectKeyboard true 40",
                          "detectMouse false 240 12 -3", "setProtectUI 40", "setProtectUI 0"}));
    QCoreApplication::processEvents();
    QCOMPARE(calls().size(), 5);
}

void tst_MyQQuickView::noSceneIsHarmless()
{
    myQQuickView view;
    view.setBusy(1);
    view.initUI();
    QCoreApplication::processEvents();
    QVERIFY(!view.rootObject());
}

void tst_MyQQuickView::settingsSlotsDelegateToTheStore()
{
    m_view->setData("mouse/reportRate", 1);
    m_view->setDataList("mouse/dpiValueArray", {400, 800});
    m_view->setGlobalData("common/language", "ChineseSimplified");
    m_view->store()->sync();
    const QByteArray p1 = m_folder->read("modules/setting/p1.bin");
    QVERIFY(p1.contains("reportRate=1\n"));
    QVERIFY(p1.contains("dpiValueArray=400, 800\n"));
    QCOMPARE(m_view->getData("mouse/reportRate", true), QVariant(QStringLiteral("3")));
    QCOMPARE(m_view->getDataList("mouse/dpiValueArray", false), (QVariantList{400, 800}));
    QCOMPARE(m_view->getGlobalData("common/language"), QVariant("ChineseSimplified"));
    m_view->resetApconfig();
    QCOMPARE(m_view->getGlobalData("common/language"), QVariant(QStringLiteral("English")));
}

QTEST_MAIN(tst_MyQQuickView)
#include "tst_myqquickview.moc"
