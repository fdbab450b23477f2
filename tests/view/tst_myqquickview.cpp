#include "myqquickview.h"
#include "settingsstore.h"
#include "testdatafolder.h"

#include <QQuickItem>
#include <QTest>
#include <QtConcurrent>
#include <algorithm>
#include <functional>
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
    void dropDownsLightOnlyTheChoiceAndThePointedRow_data();
    void dropDownsLightOnlyTheChoiceAndThePointedRow();

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

void tst_MyQQuickView::dropDownsLightOnlyTheChoiceAndThePointedRow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("box");
    QTest::addColumn<QPoint>("pointed");
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QList<int>>("litWhilePointing");
    // List row 2 (500Hz); grid cell 3, the first of its second row.
    QTest::newRow("list") << "list" << QPoint(80, 22) << QPoint(80, 34 + 2 * 24 + 12)
                          << QList<int>{3} << QList<int>{2, 3};
    QTest::newRow("grid") << "grid" << QPoint(230, 22) << QPoint(230, 34 + 24 + 12) << QList<int>{4}
                          << QList<int>{3, 4};
}

// In the widget that hosts the scene, rows that slid under the resting
// pointer while the list opened used to stay lit after the pointer left.
void tst_MyQQuickView::dropDownsLightOnlyTheChoiceAndThePointedRow()
{
    QFETCH(QString, control);
    QFETCH(QPoint, box);
    QFETCH(QPoint, pointed);
    QFETCH(QList<int>, chosen);
    QFETCH(QList<int>, litWhilePointing);
    m_view->setSource(QUrl("qrc:/scenes/dropdowns.qml"));
    m_view->resize(400, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QQuickItem *dropDown = m_view->rootObject()->findChild<QQuickItem *>(control);
    QVERIFY(dropDown);
    const auto lit = [dropDown] {
        QList<int> rows;
        const std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            for (QQuickItem *child : item->childItems()) {
                const QVariant index = child->property("index");
                if (index.isValid() &&
                    child->property("color").value<QColor>() == QColor(0xcf, 0x3e, 0x00))
                    rows << index.toInt();
                walk(child);
            }
        };
        walk(dropDown);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const auto openFromTheBox = [&] {
        QTest::mouseMove(m_view.get(), box);
        QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, box);
        QTRY_VERIFY(!dropDown->property("isAnimating").toBool() &&
                    dropDown->property("isDrop").toBool());
        QTest::qWait(50);
    };

    openFromTheBox();
    QCOMPARE(lit(), chosen);
    QTest::mouseMove(m_view.get(), pointed);
    QTRY_COMPARE(lit(), litWhilePointing);
    QTest::mouseMove(m_view.get(), QPoint(390, 290));
    QTRY_COMPARE(lit(), chosen);

    // Closed under the resting pointer, then reopened from the box: the
    // pointer's last place in the list stays dark.
    QTest::mouseMove(m_view.get(), pointed);
    QTRY_COMPARE(lit(), litWhilePointing);
    QVERIFY(QMetaObject::invokeMethod(dropDown, "closeMenu"));
    QTRY_VERIFY(!dropDown->property("isAnimating").toBool() &&
                !dropDown->property("isDrop").toBool());
    openFromTheBox();
    QCOMPARE(lit(), chosen);
}

QTEST_MAIN(tst_MyQQuickView)
#include "tst_myqquickview.moc"
