#include "artprovider.h"
#include "drawnart.h"
#include "myqquickview.h"
#include "session.h"
#include "testdatafolder.h"

#include <QQuickItem>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent>

// The indexes of the rows below `item` drawn in the highlight colour.
static QList<int> litRows(QQuickItem *item)
{
    QList<int> rows;
    for (QQuickItem *child : item->childItems()) {
        if (child->property("index").isValid() &&
            child->property("color").value<QColor>() == QColor(0xcf, 0x3e, 0x00))
            rows << child->property("index").toInt();
        rows += litRows(child);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

class tst_MyQQuickView : public QObject
{
    Q_OBJECT
    TestDataFolder m_folder;
    Session m_session{m_folder.path(), nullptr};

private slots:
    // Synchronous calls run at once, queued ones (also from a worker thread)
    // in the event loop in their order; missing functions, a wrong number of
    // arguments or no scene at all are ignored.
    void sceneCallsArriveInOrder()
    {
        using D = myQQuickView::Delivery;
        myQQuickView view(m_session);
        view.setSource(QUrl("qrc:/scenes/recorder.qml"));
        QVERIFY(view.rootObject());
        view.initUI();
        view.runUI();
        QtConcurrent::run([&view] { view.invokeScene("setCurrentDPI", {3}); }).waitForFinished();
        view.setBusy(250);
        view.invokeScene("detectKeyboard", {true, 0x28}, D::Synchronous);
        view.invokeScene("detectMouse", {false, 0xF0, 12, -3}, D::Synchronous);
        // Texts that hold numbers are converted for a typed parameter.
        view.invokeScene("setProtectUI", {QStringLiteral("40")}, D::Synchronous);
        view.invokeScene("noSuchFunction", {}, D::Synchronous);
        view.invokeScene("noSuchFunction", {1, 2}, D::Queued);
        view.invokeScene("setProtectUI", {}, D::Synchronous);
        view.invokeScene("setProtectUI", {1, 2}, D::Queued);
        const auto calls = [&view] {
            return view.rootObject()->property("calls").toStringList();
        };
        const QStringList direct{"setProtectUI 250", "detectKeyboard true 40",
                                 "detectMouse false 240 12 -3", "setProtectUI 40"};
        QCOMPARE(calls(), direct);
        QTRY_COMPARE(calls(), direct + QStringList({"initUI", "run", "setCurrentDPI 3"}));
        QCoreApplication::processEvents();
        QCOMPARE(calls().size(), 7);
        // A hidden window lets the scene release what it need not hold; the
        // scene takes it back before the window paints again.
        view.show();
        view.hide();
        view.show();
        QCOMPARE(view.rootObject()->property("windowCalls").toStringList(),
                 QStringList({"wake", "endCaptures", "wake"}));

        myQQuickView bare(m_session);
        bare.setBusy(1);
        bare.initUI();
        QCoreApplication::processEvents();
        QVERIFY(!bare.rootObject());
    }

    void dropDownsLightOnlyTheChoiceAndThePointedRow_data()
    {
        QTest::addColumn<QPoint>("box");
        QTest::addColumn<QPoint>("pointed");
        QTest::addColumn<QList<int>>("litWhilePointing"); // pointed row, chosen row
        // List row 2 (500Hz); grid cell 3, the first of its second row.
        QTest::newRow("list") << QPoint(80, 22) << QPoint(80, 94) << QList<int>{2, 3};
        QTest::newRow("grid") << QPoint(230, 22) << QPoint(230, 70) << QList<int>{3, 4};
    }

    // In the widget that hosts the scene, rows that slid under the resting
    // pointer while the list opened used to stay lit after the pointer left;
    // also when closed under the resting pointer and reopened from the box.
    void dropDownsLightOnlyTheChoiceAndThePointedRow()
    {
        QFETCH(QPoint, box);
        QFETCH(QPoint, pointed);
        QFETCH(QList<int>, litWhilePointing);
        const QList<int> chosen = litWhilePointing.mid(1);
        myQQuickView view(m_session);
        view.setSource(QUrl("qrc:/scenes/dropdowns.qml"));
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *dropDown = view.rootObject()->findChild<QQuickItem *>(QTest::currentDataTag());
        QVERIFY(dropDown);
        const auto settle = [dropDown](bool open) {
            return QTest::qWaitFor([&] {
                return !dropDown->property("isAnimating").toBool() &&
                       dropDown->property("isDrop").toBool() == open;
            });
        };
        for (const QPoint &pointer : {box, pointed, QPoint(390, 290), pointed, box}) {
            if (pointer != box) {
                QTest::mouseMove(&view, pointer);
                QTRY_COMPARE(litRows(dropDown), pointer == pointed ? litWhilePointing : chosen);
                continue;
            }
            // (Re)opened from the box, closed first under the resting pointer.
            if (dropDown->property("isDrop").toBool()) {
                QVERIFY(QMetaObject::invokeMethod(dropDown, "closeMenu"));
                QVERIFY(settle(false));
            }
            QTest::mouseMove(&view, box);
            QTest::mouseClick(&view, Qt::LeftButton, {}, box);
            QVERIFY(settle(true));
            QTest::qWait(50);
            QCOMPARE(litRows(dropDown), chosen);
        }
    }

    // The focus ring goes with a mouse press and comes back with a key.
    void theFocusRingFollowsTheKeyboard()
    {
        QWidget window;
        auto *view = new myQQuickView(m_session, &window);
        view->setSource(QUrl("qrc:/scenes/dropdowns.qml"));
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy changed(view, &myQQuickView::keyboardInUseChanged);
        QList<bool> seen{view->keyboardInUse()};
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(390, 290));
        seen << view->keyboardInUse();
        QTest::keyClick(view, Qt::Key_Tab);
        seen << view->keyboardInUse();
        QCOMPARE(seen, QList<bool>({true, false, true}));
        QCOMPARE(changed.count(), 2);
    }

    // Without Qt's SVG plugin a picture asked at another size is the one
    // drawn at build time, enlarged; an unknown picture is none. Damaged
    // build data gives no picture rather than garbage. (The pictures shown
    // at scale 1 and 2 are held to their SVG by tst_scenepicture.)
    void picturesWithoutTheSvgPlugin()
    {
        const QString id = QStringLiteral("mouse/modules/img/skin1/mouse/mouse.svg");
        ArtProvider art;
        QSize own;
        // Before anything loads the plugin: once loaded, it stays.
        const QStringList pluginFolders = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({});
        const QImage withoutPlugin = art.requestImage(id, &own, QSize(560, 840));
        QCoreApplication::setLibraryPaths(pluginFolders);
        QCOMPARE(own, QSize(280, 420));
        QCOMPARE(withoutPlugin,
                 art.requestImage(id, &own, QSize())
                     .scaled(560, 840, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QVERIFY(art.requestImage(QStringLiteral("modules/img/none.svg"), &own, QSize()).isNull());

        QImage picture(3, 2, QImage::Format_ARGB32_Premultiplied);
        picture.fill(qRgba(0x20, 0x40, 0x60, 0x80));
        picture.setPixel(2, 1, qRgba(0xcf, 0x3e, 0x00, 0xff));
        const QByteArray data = DrawnArt::encode(picture);
        QCOMPARE(DrawnArt::decode(data), picture);
        QByteArray tooLarge = data;
        qToLittleEndian(quint32(5000), tooLarge.data() + 8);
        QByteArray otherSize = data;
        qToLittleEndian(quint32(4), otherSize.data() + 4);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^qUncompress"));
        for (const QByteArray &damaged : {data.left(data.size() - 1), tooLarge, otherSize,
                                          QByteArray("PNG").append(data.mid(3))})
            QVERIFY(DrawnArt::decode(damaged).isNull());
    }
};

QTEST_MAIN(tst_MyQQuickView)
#include "tst_myqquickview.moc"
