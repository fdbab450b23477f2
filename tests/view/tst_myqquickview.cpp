#include "myqquickview.h"
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
    void sceneCallsArriveInOrder();
    void trayHidingAndShowingReachTheScene();
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
    QVERIFY(m_view->rootObject());
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

// Synchronous calls run at once, queued ones (also from a worker thread)
// in the event loop in their order; missing functions, a wrong number of
// arguments or no scene at all are ignored.
void tst_MyQQuickView::sceneCallsArriveInOrder()
{
    using D = myQQuickView::Delivery;
    m_view->initUI();
    m_view->runUI();
    QtConcurrent::run([view = m_view.get()] { view->setCurrentDPI(3); }).waitForFinished();
    m_view->setBusy(250);
    m_view->invokeScene("detectKeyboard", {true, 0x28}, D::Synchronous);
    m_view->invokeScene("detectMouse", {false, 0xF0, 12, -3}, D::Synchronous);
    // Texts that hold numbers are converted for a typed parameter.
    m_view->invokeScene("setProtectUI", {QStringLiteral("40")}, D::Synchronous);
    m_view->invokeScene("noSuchFunction", {}, D::Synchronous);
    m_view->invokeScene("noSuchFunction", {1, 2}, D::Queued);
    m_view->invokeScene("setProtectUI", {}, D::Synchronous);
    m_view->invokeScene("setProtectUI", {1, 2}, D::Queued);
    const QStringList direct{"setProtectUI 250", "detectKeyboard true 40",
                             "detectMouse false 240 12 -3", "setProtectUI 40"};
    QCOMPARE(calls(), direct);
    QTRY_COMPARE(calls(), direct + QStringList({"initUI", "run", "setCurrentDPI 3"}));
    QCoreApplication::processEvents();
    QCOMPARE(calls().size(), 7);

    myQQuickView bare;
    bare.setBusy(1);
    bare.initUI();
    QCoreApplication::processEvents();
    QVERIFY(!bare.rootObject());
}

// The scene lets go of what a hidden window does not need and takes it back
// before the window paints again.
void tst_MyQQuickView::trayHidingAndShowingReachTheScene()
{
    m_view->show();
    m_view->hide();
    m_view->show();
    QCOMPARE(m_view->rootObject()->property("windowCalls").toStringList(),
             QStringList({"wake", "endCaptures", "wake"}));
}

void tst_MyQQuickView::dropDownsLightOnlyTheChoiceAndThePointedRow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("box");
    QTest::addColumn<QPoint>("pointed");
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QList<int>>("litWhilePointing");
    // List row 2 (500Hz); grid cell 3, the first of its second row.
    QTest::newRow("list") << "list" << QPoint(80, 22) << QPoint(80, 94) << QList<int>{3}
                          << QList<int>{2, 3};
    QTest::newRow("grid") << "grid" << QPoint(230, 22) << QPoint(230, 70) << QList<int>{4}
                          << QList<int>{3, 4};
}

// In the widget that hosts the scene, rows that slid under the resting
// pointer while the list opened used to stay lit after the pointer left;
// also when closed under the resting pointer and reopened from the box.
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
                if (child->property("index").isValid() &&
                    child->property("color").value<QColor>() == QColor(0xcf, 0x3e, 0x00))
                    rows << child->property("index").toInt();
                walk(child);
            }
        };
        walk(dropDown);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const auto settle = [dropDown](bool open) {
        return QTest::qWaitFor([&] {
            return !dropDown->property("isAnimating").toBool() &&
                   dropDown->property("isDrop").toBool() == open;
        });
    };
    QTest::mouseMove(m_view.get(), box);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, box);
    QVERIFY(settle(true));
    QTest::qWait(50);
    QCOMPARE(lit(), chosen);
    QTest::mouseMove(m_view.get(), pointed);
    QTRY_COMPARE(lit(), litWhilePointing);
    QTest::mouseMove(m_view.get(), QPoint(390, 290));
    QTRY_COMPARE(lit(), chosen);
    QTest::mouseMove(m_view.get(), pointed);
    QTRY_COMPARE(lit(), litWhilePointing);
    QVERIFY(QMetaObject::invokeMethod(dropDown, "closeMenu"));
    QVERIFY(settle(false));
    QTest::mouseMove(m_view.get(), box);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, box);
    QVERIFY(settle(true));
    QTest::qWait(50);
    QCOMPARE(lit(), chosen);
}

QTEST_MAIN(tst_MyQQuickView)
#include "tst_myqquickview.moc"
