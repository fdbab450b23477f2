// Starts the real executable from a temporary portable folder.
#include "testdatafolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void secondCopyExitsWithOneAndFirstLivesOn();
    void copiesInDifferentFoldersRunSideBySide();
    void staleLockOfACrashedCopyDoesNotBlock();
    void connectsToTheVirtualMouse_data();
    void connectsToTheVirtualMouse();

private:
    // A portable folder with the executable and the factory data.
    static std::unique_ptr<QTemporaryDir> makeInstall();
    // Verbose: with the routine lines ("Data folder: ...").
    std::unique_ptr<QProcess> start(const QString &installDir,
                                    const QString &virtualMouse = QString(), bool verbose = true);
    static bool stopsCleanly(QProcess &process);
    static bool waitForOutput(QProcess &process, const QByteArray &text, QByteArray *all = nullptr);

    std::unique_ptr<QTemporaryDir> m_install;
    QTemporaryDir m_elsewhere;
};

std::unique_ptr<QTemporaryDir> tst_Startup::makeInstall()
{
    auto dir = std::make_unique<QTemporaryDir>();
    const QString exe = dir->filePath("skarn-config");
    if (!QFile::copy(SKARN_EXECUTABLE, exe))
        return {};
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    TestDataFolder::copyTree(TestDataFolder::factoryModules(), dir->filePath("modules"));
    return dir;
}

void tst_Startup::init()
{
    m_install = makeInstall();
    QVERIFY(m_install);
}

std::unique_ptr<QProcess> tst_Startup::start(const QString &installDir, const QString &virtualMouse,
                                             bool verbose)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(installDir + "/skarn-config");
    process->setWorkingDirectory(m_elsewhere.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SKARN_VIRTUAL_MOUSE", virtualMouse);
    env.insert("SKARN_VIRTUAL_MOUSE_RECORD", installDir + "/mouse.log");
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    if (verbose)
        process->setArguments({"--verbose"});
    process->start();
    return process;
}

bool tst_Startup::waitForOutput(QProcess &process, const QByteArray &text, QByteArray *all)
{
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(text) && timer.elapsed() < 15000 &&
           process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(200);
        output += process.readAll();
    }
    output += process.readAll();
    if (all)
        *all = output;
    return output.contains(text);
}

bool tst_Startup::stopsCleanly(QProcess &process)
{
    process.terminate();
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Started from another directory, the first copy finds its data; a second
// copy from the same folder exits with 1 at once, opening nothing.
void tst_Startup::secondCopyExitsWithOneAndFirstLivesOn()
{
    auto first = start(m_install->path());
    QByteArray output;
    QVERIFY2(waitForOutput(*first, "Data folder:", &output), output.constData());
    QVERIFY2(output.contains("Data folder: " + QDir(m_install->path()).canonicalPath().toUtf8()) ||
                 output.contains("Data folder: " + m_install->path().toUtf8()),
             output.constData());

    QElapsedTimer timer;
    timer.start();
    auto second = start(m_install->path());
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QVERIFY(timer.elapsed() < 6000);
    QVERIFY(!second->readAll().contains("Data folder:"));

    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(stopsCleanly(*first));
}

void tst_Startup::copiesInDifferentFoldersRunSideBySide()
{
    auto otherInstall = makeInstall();
    QVERIFY(otherInstall);
    auto first = start(m_install->path());
    QVERIFY(waitForOutput(*first, "Data folder:"));
    auto other = start(otherInstall->path());
    QVERIFY(waitForOutput(*other, "Data folder:"));
    QVERIFY(stopsCleanly(*first));
    QVERIFY(stopsCleanly(*other));
}

void tst_Startup::staleLockOfACrashedCopyDoesNotBlock()
{
    auto crashed = start(m_install->path());
    QVERIFY(waitForOutput(*crashed, "Data folder:"));
    crashed->kill();
    QVERIFY(crashed->waitForFinished(10000));
    QCOMPARE(crashed->exitStatus(), QProcess::CrashExit);

    auto next = start(m_install->path());
    QByteArray output;
    QVERIFY2(waitForOutput(*next, "Data folder:", &output), output.constData());
    QVERIFY(stopsCleanly(*next));
}

void tst_Startup::connectsToTheVirtualMouse_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("verbose");
    QTest::newRow("553") << "553" << false;
    QTest::newRow("560 verbose") << "560" << true;
}

void tst_Startup::connectsToTheVirtualMouse()
{
    QFETCH(QString, family);
    QFETCH(bool, verbose);
    auto first = start(m_install->path(), family, verbose);
    QByteArray output;
    // The connection line is shown by default, the routine ones only when
    // asked for.
    QVERIFY2(waitForOutput(*first, "Device Connect", &output), output.constData());
    QCOMPARE(output.contains("Data folder: "), verbose);
    QCOMPARE(output.contains("Virtual mouse of family " + family.toLatin1()), verbose);
    QVERIFY(!output.contains("Device DisConnect"));
    QVERIFY(!output.contains("cmd Failed"));
    // The scene loads without errors: its context objects exist before it.
    QVERIFY2(!output.contains("qrc:/modules/qml/"), output.constData());
    QVERIFY(stopsCleanly(*first));
    // The mouse's record shows the identity exchange and the event reports
    // being switched on with the family's own commands.
    QFile record(m_install->filePath("mouse.log"));
    QVERIFY(record.open(QIODevice::ReadOnly));
    QStringList codes;
    for (const QByteArray &line : record.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 3 && fields.at(1) == "feature")
            codes << QString::fromLatin1(fields.at(3));
    }
    QCOMPARE(codes.mid(0, 3),
             family == "560" ? (QStringList{"00", "81", "01"}) : (QStringList{"00", "83", "03"}));
    // The family served for the virtual mouse is not written anywhere.
    QSettings config(m_install->filePath("modules/setting/apConfig.bin"), QSettings::IniFormat);
    QCOMPARE(config.value("mouse/icType").toString(), QStringLiteral("553"));
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
