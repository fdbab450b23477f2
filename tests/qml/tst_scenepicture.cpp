#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"

#include <QQuickItem>
#include <QTest>

// Starts the real scene in the real window and checks the start-up
// sequence; with SKARN_SCENE_PICTURE set it also saves the window as a
// picture, start-up picture first ("-powerOn" before the suffix).
class tst_ScenePicture : public QObject
{
    Q_OBJECT

private slots:
    void startUpShowsThePictureThenTheWholeWindow();
};

void tst_ScenePicture::startUpShowsThePictureThenTheWholeWindow()
{
    TestDataFolder folder;
    Widget widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QQuickItem *root = widget.view()->rootObject();
    QVERIFY(root);
    QVERIFY(!root->isVisible());

    widget.startScene();
    QTRY_VERIFY(root->isVisible());
    QVERIFY(!widget.view()->isEnabled());
    QCOMPARE(root->property("isMainShown").toBool(), false);
    // The delivered English texts are in place.
    QCOMPARE(root->property("language").toString(), QStringLiteral("English"));
    QCOMPARE(root->property("mainLang").toStringList().value(9), QStringLiteral("System setting"));

    const QString picture = qEnvironmentVariable("SKARN_SCENE_PICTURE");
    if (!picture.isEmpty()) {
        QTest::qWait(200);
        QString first = picture;
        first.insert(first.lastIndexOf(QLatin1Char('.')), QStringLiteral("-powerOn"));
        QVERIFY(widget.grab().save(first));
    }

    QTRY_VERIFY_WITH_TIMEOUT(root->property("isMainShown").toBool(), 3000);
    QVERIFY(widget.view()->isEnabled());
    if (!picture.isEmpty()) {
        QTest::qWait(300);
        QVERIFY(widget.grab().save(picture));
    }
}

QTEST_MAIN(tst_ScenePicture)
#include "tst_scenepicture.moc"
