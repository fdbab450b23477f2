#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"

#include <QPainter>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

// Starts the real scene in the real window and checks the start-up
// sequence; with SKARN_SCENE_PICTURE set it also saves the window as a
// picture, start-up picture first ("-powerOn" before the suffix), and in the
// language SKARN_SCENE_LANGUAGE when set. At any QT_SCALE_FACTOR the artwork
// shows at the screen's own resolution.
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

    const QString language = qEnvironmentVariable("SKARN_SCENE_LANGUAGE");
    if (!language.isEmpty())
        widget.view()->setGlobalData(QStringLiteral("common/language"), language);
    widget.startScene();
    QTRY_VERIFY(root->isVisible());
    QVERIFY(!widget.view()->isEnabled() && !root->property("isMainShown").toBool());
    // The delivered texts are in place.
    if (language.isEmpty()) {
        QCOMPARE(root->property("language").toString(), QStringLiteral("English"));
        QCOMPARE(root->property("mainLang").toStringList().value(9),
                 QStringLiteral("System setting"));
    }

    const QString picture = qEnvironmentVariable("SKARN_SCENE_PICTURE");
    // Saved as the picture's name with `suffix` before its extension.
    const auto save = [&](const QString &suffix) {
        QString name = picture;
        QTest::qWait(300);
        return widget.grab().save(name.insert(name.lastIndexOf(QLatin1Char('.')), suffix));
    };
    if (!picture.isEmpty())
        QVERIFY(save(QStringLiteral("-powerOn")));

    QTRY_VERIFY_WITH_TIMEOUT(root->property("isMainShown").toBool(), 3000);
    QVERIFY(widget.view()->isEnabled());

    // The title logo shows its drawing rendered at the device pixel ratio,
    // not a smaller picture enlarged (blurred edges).
    auto *logo = root->findChild<QQuickItem *>(QStringLiteral("titleLogo"));
    QVERIFY(logo);
    QSvgRenderer drawing(QStringLiteral(":/modules/img/titleLogo.svg"));
    QVERIFY(drawing.isValid());
    QCOMPARE(logo->size().toSize(), drawing.defaultSize());
    const QSize pixels = drawing.defaultSize() * widget.devicePixelRatio();
    const QSharedPointer<QQuickItemGrabResult> grab = logo->grabToImage(pixels);
    QVERIFY(grab);
    QSignalSpy grabbed(grab.data(), &QQuickItemGrabResult::ready);
    QVERIFY(grabbed.wait());
    const QImage shown = grab->image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage expected(pixels, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter);
    painter.end();
    QCOMPARE(shown.size(), expected.size());
    int worst = 0;
    for (int i = 0; i < pixels.width() * pixels.height(); ++i) {
        const QRgb a = shown.pixel(i % pixels.width(), i / pixels.width());
        const QRgb b = expected.pixel(i % pixels.width(), i / pixels.width());
        worst = std::max({worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                          qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))});
    }
    QVERIFY2(worst <= 8, qPrintable(QStringLiteral("differs by %1").arg(worst)));
    if (!picture.isEmpty()) {
        QVERIFY(save(QString()));

        // The system settings dialog over the mask.
        // SKARN_SCENE_KEY=n shows the button assignment dialog of button n instead.
        bool keyGiven = false;
        const int key = qEnvironmentVariableIntValue("SKARN_SCENE_KEY", &keyGiven);
        if (keyGiven) {
            // Typed scene functions take their declared type.
            QVERIFY(QMetaObject::invokeMethod(root, "showKeyAssigment", Q_ARG(int, key)) ||
                    QMetaObject::invokeMethod(root, "showKeyAssigment", Q_ARG(QVariant, key)));
        } else {
            auto *loader = root->findChild<QQuickItem *>(QStringLiteral("systemSettingMainLoader"));
            QVERIFY(loader);
            QVERIFY(QMetaObject::invokeMethod(root, "openDialog", Q_ARG(QQuickItem *, loader)));
            auto *dialog = root->findChild<QQuickItem *>(QStringLiteral("systemSettingMain"));
            QVERIFY(dialog && dialog->isVisible());
        }
        QVERIFY(save(QStringLiteral("-dialog")));
    }
}

QTEST_MAIN(tst_ScenePicture)
#include "tst_scenepicture.moc"
