#include "myqquickview.h"
#include "testdatafolder.h"
#include "widget.h"

#include <QFile>
#include <QImageReader>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QSignalSpy>
#include <QTest>

// The real scene's start-up in the real window; with SKARN_SCENE_PICTURE saved as
// pictures (SKARN_SCENE_KEY, SKARN_SCENE_LANGUAGE choose the dialog and language).
class tst_ScenePicture : public QObject
{
    Q_OBJECT

private slots:
    void startUpShowsThePictureThenTheWholeWindow()
    {
        TestDataFolder folder;
        Widget widget(folder.path());
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QQuickItem *root = widget.view()->rootObject();
        QVERIFY(root && !root->isVisible());
        if (qEnvironmentVariableIsSet("SKARN_SCENE_LANGUAGE"))
            widget.view()->setGlobalData("common/language",
                                         qEnvironmentVariable("SKARN_SCENE_LANGUAGE"));
        widget.startScene();
        QTRY_VERIFY(root->isVisible());
        QVERIFY(root->property("locked").toBool() && !root->property("isMainShown").toBool());

        const QString picture = qEnvironmentVariable("SKARN_SCENE_PICTURE");
        const auto save = [&](const QString &suffix) {
            QString name = picture;
            return picture.isEmpty() ||
                   (QTest::qWait(300),
                    widget.grab().save(name.insert(name.lastIndexOf('.'), suffix)));
        };
        QVERIFY(save(QStringLiteral("-powerOn")));
        QTRY_VERIFY_WITH_TIMEOUT(root->property("isMainShown").toBool(), 3000);
        QVERIFY(!root->property("locked").toBool());
#ifdef Q_OS_LINUX
        // No image format plugin but the icon one is loaded (a saved PNG loads
        // them all); at scale 1 not even Qt SVG.
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        if (picture.isEmpty()) {
            QCOMPARE(mapped.count("/imageformats/"), mapped.count("/imageformats/libqico.so"));
            QVERIFY(widget.devicePixelRatio() != 1 || !mapped.contains("libQt6Svg"));
        }
#endif

        // The title logo is drawn at the device pixel ratio, not enlarged.
        auto *logo = root->findChild<QQuickItem *>(QStringLiteral("titleLogo"));
        QImageReader drawing(QStringLiteral(":/modules/img/titleLogo.svg"));
        QVERIFY(logo && drawing.canRead());
        QCOMPARE(logo->size().toSize(), drawing.size());
        const QSize pixels = drawing.size() * widget.devicePixelRatio();
        drawing.setScaledSize(pixels);
        const QImage expected = drawing.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QSharedPointer<QQuickItemGrabResult> grab = logo->grabToImage(pixels);
        QVERIFY(grab && QSignalSpy(grab.data(), &QQuickItemGrabResult::ready).wait());
        const QImage shown = grab->image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown.size(), expected.size());
        int worst = 0; // premultiplied ARGB bytes, the same layout in both
        for (qsizetype i = 0; i < shown.sizeInBytes(); ++i)
            worst = std::max(worst, qAbs(shown.constBits()[i] - expected.constBits()[i]));
        QVERIFY2(worst <= 8, qPrintable(QStringLiteral("differs by %1").arg(worst)));
        if (picture.isEmpty())
            return;
        QVERIFY(save(QString()));
        const QByteArray key = qgetenv("SKARN_SCENE_KEY");
        auto *loader = root->findChild<QQuickItem *>("systemSettingMainLoader");
        QVERIFY(key.isEmpty()
                    ? QMetaObject::invokeMethod(root, "openDialog", Q_ARG(QQuickItem *, loader))
                    : QMetaObject::invokeMethod(root, "showKeyAssigment", Q_ARG(int, key.toInt())));
        QVERIFY(save(QStringLiteral("-dialog")));
    }
};

QTEST_MAIN(tst_ScenePicture)
#include "tst_scenepicture.moc"
