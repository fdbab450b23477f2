// The scene passes qmllint: the only warnings left are reads of the objects
// the native side puts into the scene's context, which the linter cannot see.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestQmlLint : public QObject
{
    Q_OBJECT
private slots:
    void sceneHasNoWarnings();
};

void TestQmlLint::sceneHasNoWarnings()
{
    const QStringList contextObjects = {QStringLiteral("ui_View"), QStringLiteral("ui_Ctl"),
                                        QStringLiteral("hid")};
    const QString sceneDir = QStringLiteral(SKARN_SOURCE_DIR "/modules/qml");
    QStringList files;
    QDirIterator it(sceneDir, {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    QVERIFY(files.size() > 30);

    QTemporaryDir out;
    const QString report = out.filePath(QStringLiteral("lint.json"));
    QProcess lint;
    lint.start(QStringLiteral(SKARN_QMLLINT),
               QStringList{QStringLiteral("--json"), report} + files);
    QVERIFY(lint.waitForFinished(240000));
    QFile reportFile(report);
    QVERIFY2(reportFile.open(QIODevice::ReadOnly), qPrintable(lint.readAllStandardError()));
    const QJsonArray results = QJsonDocument::fromJson(reportFile.readAll())["files"].toArray();
    QCOMPARE(results.size(), files.size());

    QStringList unexpected;
    for (const QJsonValue &result : results) {
        const QString fileName = result["filename"].toString();
        QFile source(fileName);
        QVERIFY(source.open(QIODevice::ReadOnly));
        // Offsets count UTF-16 units, as QString does.
        const QString text = QString::fromUtf8(source.readAll());
        for (const QJsonValue &warning : result["warnings"].toArray()) {
            if (warning["type"].toString() != QLatin1String("warning"))
                continue;
            const QString message = warning["message"].toString();
            const QString name = text.mid(warning["charOffset"].toInt(), warning["length"].toInt());
            if (message == QLatin1String("Unqualified access") && contextObjects.contains(name))
                continue;
            unexpected.append(
                QStringLiteral("%1:%2: %3 (%4)")
                    .arg(fileName, QString::number(warning["line"].toInt()), message, name));
        }
    }
    QVERIFY2(unexpected.isEmpty(), qPrintable(QStringLiteral("\n") + unexpected.join('\n')));
}

QTEST_GUILESS_MAIN(TestQmlLint)
#include "tst_qmllint.moc"
