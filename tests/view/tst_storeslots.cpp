#include "myqquickview.h"
#include "scriptedfiledialogs.h"
#include "testdatafolder.h"

#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The store operations as the scene reaches them on `ui_View`.
class tst_StoreSlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everythingSurvivesARestart();
    void dialogsAreTheInjectedOnes();
    void failuresAreToldOnce_data();
    void failuresAreToldOnce();
    void oversizedFilesAreSetAsideUnread_data();
    void oversizedFilesAreSetAsideUnread();

private:
    QVariant evaluate(const QString &script);
    ScriptedFileDialogs *answer(const QStringList &answers);
    void restart();

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<myQQuickView> m_view;
};

void tst_StoreSlots::init()
{
    m_folder = std::make_unique<TestDataFolder>();
    restart();
}

void tst_StoreSlots::cleanup()
{
    m_view.reset();
    m_folder.reset();
}

void tst_StoreSlots::restart()
{
    m_view.reset();
    m_view = std::make_unique<myQQuickView>();
    m_view->engine()->rootContext()->setContextProperty("ui_View", m_view.get());
}

QVariant tst_StoreSlots::evaluate(const QString &script)
{
    QQmlExpression expression(m_view->engine()->rootContext(), nullptr, script);
    const QVariant result = expression.evaluate();
    if (expression.hasError())
        qWarning("%s", qPrintable(expression.error().toString()));
    return result;
}

ScriptedFileDialogs *tst_StoreSlots::answer(const QStringList &answers)
{
    auto dialogs = std::make_unique<ScriptedFileDialogs>(answers);
    ScriptedFileDialogs *raw = dialogs.get();
    m_view->setFileDialogs(std::move(dialogs));
    return raw;
}

// Values as the scene's JavaScript passes them, read back after a restart
// (with profile 0 current again).
void tst_StoreSlots::everythingSurvivesARestart()
{
    QCOMPARE(evaluate("JSON.stringify([ui_View.updataNameList(0, ['Macro_0']), "
                      "ui_View.updataNameList(2, ['Standard0', 'Work4']), "
                      "ui_View.createMacroIni('Mine', 0), "
                      "ui_View.saveMacroIni('Mine', ['1,Ü', '0,50', '2,Ü'], 3), "
                      "ui_View.createMacroIni('../setting/p1', 0), "
                      "ui_View.createMacroIni('Gone', 0), ui_View.deleteMacroIni('Gone')])"),
             QVariant("[true,true,true,true,false,true,true]"));
    evaluate("ui_View.mouseSaveGundata(2, ['SCAR-L', 'L-Click', 10, 0, 10, 0]); "
             "ui_View.modifyGundata('1', ['AK', 'L-Click', 12, 0, 8, 3, 'M416']); "
             "ui_View.setCurrentProfile(4); ui_View.setXYSensitive(1, 8); "
             "ui_View.setSelectGun(0, 'M416'); ui_View.setData('mouseMacroKey/1', 'Mine'); "
             "var m = new Array(64).fill(0); m[12] = 4; m[14] = 1; "
             "ui_View.mouseSetKeyMatrix(m, false, [])");
    restart();
    const QString reads = "[ui_View.getNameList('0'), ui_View.getNameList(2), "
                          "ui_View.loadMacroIni('Mine'), ui_View.getGunData(2), "
                          "ui_View.getGunDataKey().indexOf('AK') >= 0, "
                          "ui_View.getXYSensitive(1), ui_View.getselectGun(0)]";
    QCOMPARE(evaluate("JSON.stringify(" + reads + ")"),
             QVariant(R"([["Macro_0","loaderbraxel"],["Standard0","Work4"],)"
                      R"(["1,Ü","0,50","2,Ü","3"],["SCAR-L","L-Click","10","0","10","0"],)"
                      R"(true,"4",""])"));
    m_view->setCurrentProfile(4);
    QCOMPARE(m_view->getXYSensitive(1), QVariant("8"));
    QCOMPARE(m_view->getselectGun(0), QVariant("M416"));
    QCOMPARE(m_view->mouseGetKeydefine(3, false), (QVariantList{"4", "0", "1", "0"}));

    // A deleted macro gives its buttons back their factory function.
    m_view->deleteMacroUpdateProfile("Mine");
    restart();
    m_view->setCurrentProfile(4);
    QCOMPARE(m_view->mouseGetKeydefine(3, false), (QVariantList{"0", "0", "244", "0"}));
}

void tst_StoreSlots::dialogsAreTheInjectedOnes()
{
    m_folder->write("exchange/in.pf", "[mouse]\nreportRate=1\n");
    ScriptedFileDialogs *dialogs = answer(
        {QString(), m_folder->filePath("exchange/in.pf"), m_folder->filePath("exchange/out.mc")});
    QCOMPARE(m_view->loadProfile(1), false);
    QCOMPARE(m_view->loadProfile(1), true);
    m_view->setCurrentProfile(1);
    QCOMPARE(m_view->getData("mouse/reportRate", false), QVariant("1"));
    QCOMPARE(m_view->loadMacroFile(".."), false);
    m_view->createMacroIni("Macro_3", 0);
    m_view->saveMacroFile("Macro_3");
    QCOMPARE(m_folder->read("exchange/out.mc"), m_folder->read("modules/macro/Macro_3.bin"));
    QCOMPARE(dialogs->asked,
             (QStringList{"open Profile(*.pf)", "open Profile(*.pf)", "save Macro(*.mc)"}));
}

void tst_StoreSlots::failuresAreToldOnce_data()
{
    QTest::addColumn<QStringList>("blocked"); // folders where the files should be
    QTest::addColumn<QString>("oversized");   // written before a restart
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("language");
    const int notSaved = myQQuickView::NotSaved;
    const QStringList p1{"modules/setting/p1.bin"};
    const QString namesAndGun = "ui_View.updataNameList(0, ['A', 'B']); "
                                "ui_View.mouseSaveGundata(0, ['A', 'L-Click', 10, 0, 10, 0])";
    QTest::newRow("writes to an unwritable profile")
        << p1 << ""
        << "ui_View.setData('a', 1); ui_View.setDataList('b', [1, 2]); ui_View.setData('c', 2)"
        << notSaved << "ChineseSimplified";
    QTest::newRow("X/Y sensitivity") << p1 << ""
                                     << "ui_View.setXYSensitive(0, 3)" << notSaved << "English";
    QTest::newRow("gun selection")
        << p1 << ""
        << "ui_View.setSelectGun(0, 'M4')" << notSaved << "ChineseSimplified";
    QTest::newRow("key matrix") << p1 << ""
                                << "ui_View.mouseSetKeyMatrix([4, 0, 1, 0], false, [])" << notSaved
                                << "English";
    QTest::newRow("macro that cannot be created")
        << QStringList{"modules/macro/Macro_0.bin"} << ""
        << "ui_View.createMacroIni('Macro_0', 0)" << notSaved << "ChineseSimplified";
    QTest::newRow("name list") << QStringList{"modules/setting/name.bin"} << "" << namesAndGun
                               << notSaved << "English";
    QTest::newRow("gun preset") << QStringList{"modules/gun/gunData.bin"} << "" << namesAndGun
                                << notSaved << "ChineseSimplified";
    QTest::newRow("export onto a folder")
        << QStringList{"exchange/a.pf", "exchange/a.mc"} << ""
        << "ui_View.saveProfile(0); ui_View.createMacroIni('M', 0); ui_View.saveMacroFile('M')"
        << notSaved << "English";
    QTest::newRow("profile import over 1 MiB")
        << QStringList() << "exchange/a.pf"
        << "ui_View.loadProfile(1)" << int(myQQuickView::FileTooLarge) << "English";
    QTest::newRow("damaged profile at start")
        << QStringList() << "modules/setting/p5.bin"
        << "" << int(myQQuickView::DamagedFiles) << "ChineseSimplified";
    QTest::newRow("refusal from the scene")
        << QStringList() << ""
        << QStringLiteral("ui_View.refuse(%1)").arg(myQQuickView::MacroTooLong)
        << int(myQQuickView::MacroTooLong) << "ChineseSimplified";
}

// In the user's language, once however many writes failed in one go.
void tst_StoreSlots::failuresAreToldOnce()
{
    QFETCH(QStringList, blocked);
    QFETCH(QString, oversized);
    QFETCH(QString, script);
    QFETCH(int, reason);
    QFETCH(QString, language);
    m_view->setGlobalData("common/language", language);
    if (!oversized.isEmpty()) {
        m_folder->write(oversized, QByteArray(2 * 1024 * 1024, 'x'));
        restart();
    }
    for (const QString &file : blocked) {
        QFile::remove(m_folder->filePath(file));
        QVERIFY(QDir().mkpath(m_folder->filePath(file)));
    }
    answer({m_folder->filePath("exchange/a.pf"), m_folder->filePath("exchange/a.mc")});
    QSignalSpy notices(m_view.get(), &myQQuickView::userNotice);
    if (!script.isEmpty())
        evaluate(script);
    QTRY_COMPARE(notices.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.at(0).at(0).toString(), myQQuickView::refusalText(reason, language));
    // Without a language file the built-in English texts stand in; each
    // has its translation.
    const QString english = myQQuickView::refusalText(reason, "English");
    QCOMPARE(myQQuickView::refusalText(reason, "Missing"), english);
    QVERIFY(myQQuickView::refusalText(reason, "ChineseSimplified") != english);
}

void tst_StoreSlots::oversizedFilesAreSetAsideUnread_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("count"); // what would count the content
    QTest::newRow("name lists") << "modules/setting/name.bin"
                                << "[macro]\nmacroName=A, B\n"
                                << "ui_View.getNameList(0).length";
    QTest::newRow("gun data") << "modules/gun/gunData.bin"
                              << "[gunData]\n0=A, B, 1, 2, 3, 4\n"
                              << "ui_View.getGunDataKey().length";
    QTest::newRow("macro") << "modules/macro/M.bin"
                           << "[config]\ntotal=0\nrepeat=5\n"
                           << "ui_View.loadMacroIni('M').length";
    QTest::newRow("language") << "modules/i18n/English.ini"
                              << "[main]\ntotal=1\n0=Big\n"
                              << "ui_View.getLangStrings('main', 'English').length";
}

// Sound content, only too large to be real: read, it would count.
void tst_StoreSlots::oversizedFilesAreSetAsideUnread()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, count);
    const QByteArray damaged = content.toUtf8() + "[x]\n" + QByteArray(1024 * 1024, 'x') + "=1\n";
    m_folder->write(file, damaged);
    QSignalSpy notices(m_view.get(), &myQQuickView::userNotice);
    QCOMPARE(evaluate(count + " + ',' + " + count), QVariant("0,0"));
    QVERIFY(!QFile::exists(m_folder->filePath(file)));
    QCOMPARE(m_folder->read(file + ".damaged"), damaged);
    QTRY_COMPARE(notices.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(notices.count(), 1);
}

QTEST_MAIN(tst_StoreSlots)
#include "tst_storeslots.moc"
