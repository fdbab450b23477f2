#include "artprovider.h"
#include "drawnart.h"
#include "langstrings.h"
#include "myqquickview.h"
#include "qtfiledialogs.h"
#include "scriptedfiledialogs.h"
#include "session.h"
#include "testdatafolder.h"
#include "ui_controler.h"
#include "usertexts.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QQuickItem>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<myQQuickView> m_view;

    void restart()
    {
        m_view.reset();
        m_session.reset();
        m_session = std::make_unique<Session>(m_folder->path(), nullptr);
        m_view = std::make_unique<myQQuickView>(*m_session);
        m_view->engine()->rootContext()->setContextProperty("ui_View", m_view.get());
    }
    QVariant evaluate(const QString &script)
    {
        return QQmlExpression(m_view->engine()->rootContext(), nullptr, script).evaluate();
    }

private slots:
    void init()
    {
        m_view.reset(); // before its folder, which puts the previous one back
        m_session.reset();
        m_folder.reset();
        m_folder = std::make_unique<TestDataFolder>();
        restart();
    }

    // Queued calls (also from another thread) run in order; bad calls or no scene are ignored.
    void sceneCallsArriveInOrder()
    {
        using D = myQQuickView::Delivery;
        myQQuickView view(*m_session);
        view.setSource(QUrl("qrc:/scenes/recorder.qml"));
        QVERIFY(view.rootObject());
        view.initUI();
        view.runUI();
        QtConcurrent::run([&view] { view.invokeScene("setCurrentDPI", {3}); }).waitForFinished();
        view.setBusy(250);
        view.invokeScene("detectKeyboard", {true, 0x28}, D::Synchronous);
        view.invokeScene("detectMouse", {false, 0xF0, 12, -3}, D::Synchronous);
        view.invokeScene("setProtectUI", {QStringLiteral("40")}, D::Synchronous);
        view.invokeScene("noSuchFunction", {1, 2}, D::Queued);
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
        // Hidden, the scene lets go of what it need not hold; shown, it takes it back.
        view.show();
        view.hide();
        view.show();
        QCOMPARE(view.rootObject()->property("windowCalls").toStringList(),
                 QStringList({"wake", "endCaptures", "wake"}));

        myQQuickView bare(*m_session);
        bare.setBusy(1);
        bare.initUI();
        QCoreApplication::processEvents();
    }

    // Rows that slid under the resting pointer as the list opened stayed lit after it left.
    void dropDownsLightOnlyTheChoiceAndThePointedRow()
    {
        // The drop-down, its box, a row to point at, and the rows lit while it is pointed at.
        const std::tuple<const char *, QPoint, QPoint, QList<int>> rows[] = {
            {"list", {80, 22}, {80, 94}, {2, 3}}, {"grid", {230, 22}, {230, 70}, {3, 4}}};
        for (const auto &[name, box, pointed, litWhilePointing] : rows) {
            const QList<int> chosen = litWhilePointing.mid(1);
            myQQuickView view(*m_session);
            view.setSource(QUrl("qrc:/scenes/dropdowns.qml"));
            view.resize(400, 300);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            auto *dropDown = view.rootObject()->findChild<QQuickItem *>(name);
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
    }

    // Without the SVG plugin: the build's picture enlarged; unknown or damaged ones: none.
    void picturesWithoutTheSvgPlugin()
    {
        const QString id = QStringLiteral("mouse/modules/img/skin1/mouse/mouse.svg");
        ArtProvider art;
        QSize own;
        // Before anything loads the plugin, which then stays.
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

    void everythingSurvivesARestart()
    {
        evaluate("ui_View.mouseSaveGundata(2, ['SCAR-L', 'L-Click', 10, 0, 10, 0]); "
                 "ui_View.modifyGundata('1', ['AK', 'L-Click', 12, 0, 8, 3, 'M416']); "
                 "ui_View.setXYSensitive(1, 8); ui_View.setSelectGun(0, 'M416'); "
                 "ui_View.setData('mouseMacroKey/1', 'Mine'); "
                 "ui_View.setDataList('mouseKeyMatrix/3', [4, 0, 1, 0])");
        restart();
        QCOMPARE(evaluate("JSON.stringify([ui_View.getGunData(2), ui_View.getGunData('AK'), "
                          "ui_View.getXYSensitive(1), ui_View.getselectGun(0), "
                          "ui_View.mouseGetKeydefine(3, false)])"),
                 QVariant(R"([["SCAR-L","L-Click","10","0","10","0"],)"
                          R"(["L-Click","12","0","8","3"],"8","M416",["4","0","1","0"]])"));
        // A deleted macro gives its buttons back their factory function.
        m_view->deleteMacroUpdateProfile("Mine");
        restart();
        QCOMPARE(m_view->mouseGetKeydefine(3, false), (QVariantList{"0", "0", "244", "0"}));
    }

    void failuresAreToldOnce_data()
    {
        QTest::addColumn<QStringList>("blocked"); // folders where the files should be
        QTest::addColumn<QString>("oversized");   // over 1 MiB, written before a restart
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("reason");
        const auto row = [](const char *name, const QStringList &blocked, const QString &script,
                            int reason = UserTexts::NotSaved, const char *oversized = "",
                            const char *result = "") {
            QTest::newRow(name) << blocked << QString(oversized) << script << QString(result)
                                << reason;
        };
        const QStringList p1{"modules/setting/p1.bin"};
        const QString namesAndGun = "ui_View.updataNameList(0, ['A', 'B']); "
                                    "ui_View.mouseSaveGundata(0, ['A', 'L-Click', 10, 0, 10, 0])";
        row("writes to an unwritable profile", p1,
            "ui_View.setData('a', 1); ui_View.setDataList('b', [1, 2]); "
            "ui_View.setXYSensitive(0, 3); ui_View.setSelectGun(0, 'M4')");
        row("name list", {"modules/setting/name.bin"}, namesAndGun, UserTexts::NotMade, "", "true");
        row("profile reset and copy", {"modules/setting/p2.bin"},
            "ui_View.resetProfile(1); ui_View.copyProfile(1, 0)", UserTexts::NotMade);
        row("gun preset", {"modules/gun/gunData.bin"}, namesAndGun, UserTexts::NotMade, "",
            "false");
        row("export onto a folder", {"exchange/a.pf", "exchange/a.mc"},
            "ui_View.saveProfile(0); ui_View.createMacroIni('M', 0); ui_View.saveMacroFile('M')",
            UserTexts::ExportFailed);
        row("profile import", {}, "ui_View.loadProfile(1)", UserTexts::FileTooLarge,
            "exchange/a.pf", "false");
        const auto setAside = [&](const char *file, const char *count) {
            row(file, {}, count, UserTexts::DamagedFiles, file, *count ? "0" : "");
        };
        setAside("modules/setting/p5.bin", "");
        setAside("modules/setting/name.bin", "ui_View.getNameList(0).length");
        setAside("modules/gun/gunData.bin", "ui_View.getGunDataKey().length");
        setAside("modules/macro/M.bin", "ui_View.loadMacroIni('M').length");
        setAside("modules/i18n/English.ini", "ui_View.getLangStrings('main', 'English').length");
    }

    // Told once however many writes failed, in the user's language (rows take turns).
    void failuresAreToldOnce()
    {
        QFETCH(QStringList, blocked);
        QFETCH(QString, oversized);
        QFETCH(QString, script);
        QFETCH(int, reason);
        const QString language =
            QString(QTest::currentDataTag()).size() % 2 ? "English" : "ChineseSimplified";
        m_view->setGlobalData("common/language", language);
        const QByteArray big = "[mouse]\nreportRate=1\n[macro]\nmacroName=A, B\n[gunData]\n"
                               "0=A, B, 1, 2, 3, 4\n[config]\ntotal=0\nrepeat=5\n[main]\ntotal=1\n"
                               "0=Big\n[x]\n" +
                               QByteArray(1024 * 1024, 'x') + "=1\n";
        if (!oversized.isEmpty()) {
            m_folder->write(oversized, big);
            restart();
        }
        for (const QString &file : blocked) {
            QFile::remove(m_folder->filePath(file));
            QVERIFY(QDir().mkpath(m_folder->filePath(file)));
        }
        m_view->setFileDialogs(std::make_unique<ScriptedFileDialogs>(
            QStringList{m_folder->filePath("exchange/a.pf"), m_folder->filePath("exchange/a.mc")}));
        QSignalSpy notices(m_view.get(), &myQQuickView::userNotice);
        QTEST(evaluate(script).toString(), "result");
        QTRY_COMPARE(notices.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(QList<QVariantList>(notices),
                 (QList<QVariantList>{{UserTexts::refusal(m_folder->path(), language, reason)}}));
        if (reason == UserTexts::DamagedFiles)
            QCOMPARE(m_folder->read(oversized + ".damaged"), big);
    }

    void hostWindowAndDialogs()
    {
        auto window = std::make_unique<QWidget>();
        Ui_Controler controller;
        controller.setupUi(window.get(), *m_session, "qrc:/scenes/recorder.qml");
        myQQuickView *view = controller.view();
        QVERIFY(view->rootObject());
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint) &&
                window->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(QList<QSize>({window->minimumSize(), window->maximumSize()}),
                 QList<QSize>(2, QSize(1024, 640)));
        QCOMPARE(view->rootContext()->contextProperty("ui_View").value<QObject *>(), view);
        QCOMPARE(view->rootContext()->contextProperty("ui_Ctl").value<QObject *>(), &controller);

        // Dialogs are windows of their own, in a folder that exists.
        QTemporaryDir home;
        const QByteArray realHome = qgetenv("HOME"), realConfig = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", realHome);
            realConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME")
                                : qputenv("XDG_CONFIG_HOME", realConfig);
        });
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
        QCOMPARE(QtFileDialogs::startFolder(), home.path());
        QDir(home.path()).mkdir("Desktop");
        // Its title, file type and Qt's own buttons in the language in use; Qt's English again with
        // English.
        QStringList texts = LangStrings::read(m_folder->path(), "fileDialog", "German")
                            << LangStrings::read(m_folder->path(), "language", "German").value(1);
        const QStringList german = texts;
        QtFileDialogs dialogs(view, [&] { return texts; });
        const std::unique_ptr<QFileDialog> dialog =
            dialogs.makeDialog(QFileDialog::AcceptSave, "Profile(*.pf)");
        QCOMPARE(dialog->directory().absolutePath(), home.filePath("Desktop"));
        QVERIFY(!dialog->parentWidget() && dialog->windowModality() == Qt::ApplicationModal);
        QCOMPARE(QStringList({dialog->windowTitle(), dialog->nameFilters().join(';')}),
                 QStringList({german.value(1), german.value(2) + "(*.pf)"}));
        QVERIFY(german.value(1) != "Save File");
        const auto buttons = [](const QFileDialog &shown) {
            QStringList texts;
            for (const QAbstractButton *button : shown.findChild<QDialogButtonBox *>()->buttons())
                texts.append(button->text());
            return texts;
        };
        QCOMPARE(buttons(*dialog), QStringList({"S&peichern", "Abbrechen"}));
        texts = LangStrings::read(m_folder->path(), "fileDialog", "English") << "en";
        QCOMPARE(buttons(*dialogs.makeDialog(QFileDialog::AcceptOpen, "")),
                 QStringList({"&Open", "Cancel"}));

        // Dragged off the screen, the title bar stays below the top, 120 px in reach.
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
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QList<bool> seen{view->keyboardInUse()}; // and at each change told
        connect(view, &myQQuickView::keyboardInUseChanged, [&] { seen << view->keyboardInUse(); });
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(390, 290));
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(seen, QList<bool>({true, false, true}));
        controller.onMinimize();
        QTRY_VERIFY(window->isMinimized());
        // A question for the user brings it back, also from the task bar.
        controller.onShow();
        QTRY_VERIFY(!window->isMinimized());
        // Nothing iconifies it here (no window manager): it is not left minimised.
        controller.onMinimize();
        QTRY_VERIFY(window->isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isMinimized(), 3000);
        controller.onClose();
        QVERIFY(!window->isVisible());
        // Hidden, not destroyed: busy still locks the scene.
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

QTEST_MAIN(tst_MyQQuickView)
#include "tst_myqquickview.moc"
