#include "myqquickview.h"
#include "scriptedfiledialogs.h"
#include "session.h"
#include "testdatafolder.h"
#include "usertexts.h"

#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QTest>

// The store operations as the scene reaches them on `ui_View`.
class tst_StoreSlots : public QObject
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

    // Values as the scene's JavaScript passes them, read back after a
    // restart (with profile 0 current again).
    void everythingSurvivesARestart()
    {
        evaluate("ui_View.createMacroIni('Mine', 0); "
                 "ui_View.saveMacroIni('Mine', ['1,Ü', '0,50', '2,Ü'], 3); "
                 "ui_View.mouseSaveGundata(2, ['SCAR-L', 'L-Click', 10, 0, 10, 0]); "
                 "ui_View.modifyGundata('1', ['AK', 'L-Click', 12, 0, 8, 3, 'M416']); "
                 "ui_View.setXYSensitive(1, 8); ui_View.setSelectGun(0, 'M416'); "
                 "ui_View.setData('mouseMacroKey/1', 'Mine'); "
                 "ui_View.setDataList('mouseKeyMatrix/3', [4, 0, 1, 0])");
        restart();
        QCOMPARE(evaluate("JSON.stringify([ui_View.loadMacroIni('Mine'), ui_View.getGunData(2), "
                          "ui_View.getGunDataKey().indexOf('AK') >= 0, ui_View.getGunData('AK'), "
                          "ui_View.getXYSensitive(1), ui_View.getselectGun(0), "
                          "ui_View.mouseGetKeydefine(3, false)])"),
                 QVariant(R"([["1,Ü","0,50","2,Ü","3"],["SCAR-L","L-Click","10","0","10","0"],)"
                          R"(true,["L-Click","12","0","8","3"],"8","M416",["4","0","1","0"]])"));
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
            "ui_View.setData('a', 1); ui_View.setDataList('b', [1, 2]); ui_View.setData('c', 2)");
        row("X/Y sensitivity", p1, "ui_View.setXYSensitive(0, 3)");
        row("gun selection", p1, "ui_View.setSelectGun(0, 'M4')");
        row("macro that cannot be created", {"modules/macro/Macro_0.bin"},
            "ui_View.createMacroIni('Macro_0', 0)", UserTexts::NotMade, "", "false");
        row("name list", {"modules/setting/name.bin"}, namesAndGun, UserTexts::NotMade, "", "true");
        row("profile reset and copy", {"modules/setting/p2.bin"},
            "ui_View.resetProfile(1); ui_View.copyProfile(1, 0)", UserTexts::NotMade);
        row("gun preset", {"modules/gun/gunData.bin"}, namesAndGun, UserTexts::NotMade, "",
            "false");
        row("macro that cannot be saved", {"modules/macro/M.bin"},
            "ui_View.saveMacroIni('M', ['7'], 1)", UserTexts::NotMade, "", "false");
        row("export onto a folder", {"exchange/a.pf", "exchange/a.mc"},
            "ui_View.saveProfile(0); ui_View.createMacroIni('M', 0); ui_View.saveMacroFile('M')",
            UserTexts::ExportFailed);
        row("profile import", {}, "ui_View.loadProfile(1)", UserTexts::FileTooLarge,
            "exchange/a.pf", "false");
        row("refusal from the scene", {},
            QStringLiteral("ui_View.refuse(%1)").arg(UserTexts::MacroTooLong),
            UserTexts::MacroTooLong);
        // Set aside unread: read, the content would count.
        const auto setAside = [&](const char *file, const char *count) {
            row(file, {}, count, UserTexts::DamagedFiles, file, *count ? "0" : "");
        };
        setAside("modules/setting/p5.bin", "");
        setAside("modules/setting/name.bin", "ui_View.getNameList(0).length");
        setAside("modules/gun/gunData.bin", "ui_View.getGunDataKey().length");
        setAside("modules/macro/M.bin", "ui_View.loadMacroIni('M').length");
        setAside("modules/i18n/English.ini", "ui_View.getLangStrings('main', 'English').length");
    }

    // In the user's language (rows take turns), once however many writes
    // failed in one go.
    void failuresAreToldOnce()
    {
        QFETCH(QStringList, blocked);
        QFETCH(QString, oversized);
        QFETCH(QString, script);
        QFETCH(int, reason);
        const QString language =
            QString(QTest::currentDataTag()).size() % 2 ? "English" : "ChineseSimplified";
        m_view->setGlobalData("common/language", language);
        // Sound for every reader, only too large to be real.
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
        QCOMPARE(notices.count(), 1);
        QCOMPARE(notices.at(0).at(0).toString(),
                 UserTexts::refusal(m_folder->path(), language, reason));
        if (reason == UserTexts::DamagedFiles)
            QCOMPARE(m_folder->read(oversized + ".damaged"), big);
        // Without a language file the built-in English texts stand in.
        QCOMPARE(UserTexts::refusal(m_folder->path(), "Missing", reason),
                 UserTexts::refusal(m_folder->path(), "English", reason));
    }
};

QTEST_MAIN(tst_StoreSlots)
#include "tst_storeslots.moc"
