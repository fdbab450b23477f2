#include "myqquickview.h"
#include "scriptedfiledialogs.h"
#include "settingsstore.h"
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
    void theSceneFindsEverySlot();
    void sceneValuesReachTheStore();
    void dialogsAreTheInjectedOnes();
    void everythingSurvivesARestart();
    void failuresAreToldOnce_data();
    void failuresAreToldOnce();
    void refusalTextsInBothLanguages();
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

void tst_StoreSlots::theSceneFindsEverySlot()
{
    // The ones the other checks here do not call from a script.
    for (const char *name : {"loadProfile", "saveProfile", "resetProfile", "copyProfile",
                             "loadMacroFile", "saveMacroFile", "modifyMacroNameUpdateProfile",
                             "deleteMacroUpdateProfile", "mouseGetKeydefine", "mouseSetKeyMatrix"})
        QVERIFY2(evaluate(QStringLiteral("typeof ui_View.%1").arg(name)) == "function", name);
}

void tst_StoreSlots::sceneValuesReachTheStore()
{
    // Numbers, arrays and texts as the scene's JavaScript passes them.
    QCOMPARE(evaluate("ui_View.updataNameList(0, ['Macro_0'])"), QVariant(true));
    QCOMPARE(evaluate("ui_View.updataNameList(9, ['a', 'b'])"), QVariant(true));
    QCOMPARE(evaluate("ui_View.getNameList('0')").toStringList(),
             (QStringList{"Macro_0", "loaderbraxel"}));
    QCOMPARE(evaluate("ui_View.createMacroIni('Macro_0', 0)"), QVariant(true));
    QCOMPARE(evaluate("ui_View.saveMacroIni('Macro_0', ['1,,', '0,50', '2,,'], 3)"),
             QVariant(true));
    QCOMPARE(evaluate("ui_View.loadMacroIni('Macro_0')").toStringList(),
             (QStringList{"1,,", "0,50", "2,,", "3"}));
    QCOMPARE(evaluate("ui_View.createMacroIni('../setting/p1', 0)"), QVariant(false));
    QCOMPARE(evaluate("ui_View.deleteMacroIni('Macro_0')"), QVariant(true));

    evaluate("ui_View.mouseSaveGundata(2, ['SCAR-L', 'L-Click', 10, 0, 10, 0])");
    QCOMPARE(evaluate("ui_View.getGunData(2)").toStringList(),
             (QStringList{"SCAR-L", "L-Click", "10", "0", "10", "0"}));
    evaluate("ui_View.modifyGundata('1', ['AK', 'L-Click', 12, 0, 8, 3, 'M416'])");
    QVERIFY(evaluate("ui_View.getGunDataKey()").toStringList().contains("AK"));

    evaluate("ui_View.setCurrentProfile(3)");
    QCOMPARE(evaluate("ui_View.getXYSensitive(1)").toInt(), 4);
    evaluate("ui_View.setXYSensitive(1, 8)");
    QCOMPARE(evaluate("ui_View.getXYSensitive(1)").toInt(), 8);
    QCOMPARE(evaluate("ui_View.getselectGun(0)"), QVariant(QString()));
    evaluate("ui_View.setSelectGun(0, 'M416')");
    QCOMPARE(evaluate("ui_View.getselectGun(0)"), QVariant("M416"));
    QCOMPARE(evaluate("ui_View.getData('XYSensitive/1', false)").toInt(), 8);
    evaluate("ui_View.setCurrentProfile(0)");
    QCOMPARE(evaluate("ui_View.getXYSensitive(1)"), QVariant("4"));
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

void tst_StoreSlots::everythingSurvivesARestart()
{
    m_view->setCurrentProfile(4);
    m_view->setXYSensitive(0, 2);
    m_view->setData("mouseMacroKey/1", "Mine");
    m_view->createMacroIni("Mine", 0);
    m_view->saveMacroIni("Mine", {"1,Ü", "2,Ü"}, 1);
    m_view->updataNameList(2, {"Standard0", "Work4"});
    QVariantList src64(64, 0);
    src64[12] = 4;
    src64[14] = 1;
    m_view->mouseSetKeyMatrix(src64, false, {});
    restart();

    QCOMPARE(m_view->getXYSensitive(0), QVariant("4")); // profile 0 is current again
    m_view->setCurrentProfile(4);
    QCOMPARE(m_view->getXYSensitive(0), QVariant("2"));
    QCOMPARE(m_view->mouseGetKeydefine(3, false), (QVariantList{"4", "0", "1", "0"}));
    QCOMPARE(m_view->loadMacroIni("Mine"), (QStringList{"1,Ü", "2,Ü", "1"}));
    QCOMPARE(m_view->getNameList(2), (QVariantList{"Standard0", "Work4"}));

    m_view->deleteMacroUpdateProfile("Mine");
    QCOMPARE(m_view->mouseGetKeydefine(3, false), m_view->mouseGetKeydefine(3, true));
    restart();
    m_view->setCurrentProfile(4);
    QCOMPARE(m_view->mouseGetKeydefine(3, false), (QVariantList{"0", "0", "244", "0"}));
}

void tst_StoreSlots::failuresAreToldOnce_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("script");
    const int notSaved = myQQuickView::NotSaved;
    QTest::newRow("writes to an unwritable profile")
        << "write" << notSaved
        << "ui_View.setData('a', 1); ui_View.setDataList('b', [1, 2]); ui_View.setData('c', 2)";
    QTest::newRow("X/Y sensitivity") << "write" << notSaved << "ui_View.setXYSensitive(0, 3)";
    QTest::newRow("gun selection") << "write" << notSaved << "ui_View.setSelectGun(0, 'M4')";
    QTest::newRow("key matrix") << "write" << notSaved
                                << "ui_View.mouseSetKeyMatrix([4, 0, 1, 0], false, [])";
    QTest::newRow("macro that cannot be created") << "macro" << notSaved << QString();
    QTest::newRow("name list") << "names" << notSaved << QString();
    QTest::newRow("gun preset") << "gun" << notSaved << QString();
    QTest::newRow("export onto a folder") << "export" << notSaved << QString();
    QTest::newRow("profile import over 1 MiB")
        << "import" << int(myQQuickView::FileTooLarge) << QString();
    QTest::newRow("damaged profile at start")
        << "damaged" << int(myQQuickView::DamagedFiles) << QString();
    QTest::newRow("refusal from the scene")
        << "scene" << int(myQQuickView::MacroTooLong) << QString();
}

// In the user's language, once however many writes failed in one go.
void tst_StoreSlots::failuresAreToldOnce()
{
    QFETCH(QString, failure);
    QFETCH(int, reason);
    QFETCH(QString, script);
    m_view->setGlobalData("common/language", "ChineseSimplified");
    if (failure == "damaged") {
        m_folder->write("modules/setting/p5.bin", QByteArray(2 * 1024 * 1024, 'x'));
        restart();
    }
    QSignalSpy notices(m_view.get(), &myQQuickView::userNotice);
    if (failure == "write") {
        // A folder where the file should be: even root cannot write it.
        const QString profile = m_folder->filePath("modules/setting/p1.bin");
        QVERIFY(QFile::remove(profile));
        QVERIFY(QDir().mkpath(profile));
        evaluate(script);
    } else if (failure == "macro") {
        QVERIFY(QDir().mkpath(m_folder->filePath("modules/macro/Macro_0.bin")));
        QCOMPARE(evaluate("ui_View.createMacroIni('Macro_0', 0)"), QVariant(false));
    } else if (failure == "names" || failure == "gun") {
        const QString file = m_folder->filePath(failure == "names" ? "modules/setting/name.bin"
                                                                   : "modules/gun/gunData.bin");
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        evaluate("ui_View.updataNameList(0, ['A', 'B']); "
                 "ui_View.mouseSaveGundata(0, ['A', 'L-Click', 10, 0, 10, 0])");
    } else if (failure == "export") {
        QVERIFY(QDir().mkpath(m_folder->filePath("exchange/taken.pf")));
        QVERIFY(QDir().mkpath(m_folder->filePath("exchange/taken.mc")));
        answer({m_folder->filePath("exchange/taken.pf"), m_folder->filePath("exchange/taken.mc")});
        m_view->saveProfile(0);
        m_view->createMacroIni("M", 0);
        m_view->saveMacroFile("M");
    } else if (failure == "import") {
        m_folder->write("exchange/big.pf", QByteArray(1024 * 1024 + 1, '\n'));
        answer({m_folder->filePath("exchange/big.pf")});
        QCOMPARE(m_view->loadProfile(1), false);
    } else if (failure == "scene") {
        evaluate(QStringLiteral("ui_View.refuse(%1)").arg(reason));
    }
    QTRY_COMPARE(notices.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.at(0).at(0).toString(),
             myQQuickView::refusalText(reason, "ChineseSimplified"));
}

void tst_StoreSlots::refusalTextsInBothLanguages()
{
    for (int reason = 0; reason < myQQuickView::RefusalCount; ++reason) {
        // Without a language file the built-in English texts stand in.
        const QString english = myQQuickView::refusalText(reason, "English");
        QCOMPARE(english, myQQuickView::refusalText(reason, "Missing"));
        const QString chinese = myQQuickView::refusalText(reason, "ChineseSimplified");
        QVERIFY2(!chinese.isEmpty() && chinese != english, qPrintable(english));
    }
}

void tst_StoreSlots::oversizedFilesAreSetAsideUnread_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("result");
    QTest::newRow("name lists") << "modules/setting/name.bin"
                                << "[macro]\nmacroName=A, B\n"
                                << "ui_View.getNameList(0).length"
                                << "0";
    QTest::newRow("gun data") << "modules/gun/gunData.bin"
                              << "[gunData]\n0=A, B, 1, 2, 3, 4\n"
                              << "ui_View.getGunDataKey().length"
                              << "0";
    QTest::newRow("macro") << "modules/macro/M.bin"
                           << "[config]\ntotal=0\nrepeat=5\n"
                           << "ui_View.loadMacroIni('M').length"
                           << "0";
    QTest::newRow("language") << "modules/i18n/English.ini"
                              << "[main]\ntotal=1\n0=Big\n"
                              << "ui_View.getLangStrings('main', 'English').length"
                              << "0";
}

// Sound content, only too large to be real: read, it would count.
void tst_StoreSlots::oversizedFilesAreSetAsideUnread()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, read);
    QFETCH(QString, result);
    const QByteArray damaged = content.toUtf8() + "[x]\n" + QByteArray(1024 * 1024, 'x') + "=1\n";
    m_folder->write(file, damaged);
    QSignalSpy notices(m_view.get(), &myQQuickView::userNotice);
    QCOMPARE(evaluate(read).toString(), result);
    QCOMPARE(evaluate(read).toString(), result);
    QVERIFY(!QFile::exists(m_folder->filePath(file)));
    QCOMPARE(m_folder->read(file + ".damaged"), damaged);
    QTRY_COMPARE(notices.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(notices.count(), 1);
}

QTEST_MAIN(tst_StoreSlots)
#include "tst_storeslots.moc"
