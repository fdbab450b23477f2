#include "keymatrixstore.h"
#include "settingsstore.h"
#include "storepaths.h"
#include "testdatafolder.h"

#include <QTest>

namespace {
QVariantList sequence(int count, int first = 0)
{
    QVariantList values;
    for (int i = 0; i < count; ++i)
        values.append(first + i);
    return values;
}
} // namespace

class tst_KeyMatrixStore : public QObject
{
    Q_OBJECT

private slots:
    void storesSixteenRecordsInTheCurrentProfile();
    void shortListsStoreZeros_data();
    void shortListsStoreZeros();
};

void tst_KeyMatrixStore::storesSixteenRecordsInTheCurrentProfile()
{
    TestDataFolder folder;
    QMap<int, QByteArray> before;
    for (int n = 0; n < StorePaths::profileCount; ++n)
        before.insert(n, folder.read(StorePaths::profile(n)));
    const QVariantList src64 = sequence(64, 100);
    {
        SettingsStore settings;
        settings.setCurrentProfile(2);
        KeyMatrixStore matrix(settings);
        matrix.storeRecords(src64 + QVariantList{1, 2, 3});
        QCOMPARE(matrix.record("5", false), src64.mid(20, 4));
        QCOMPARE(matrix.record("5", true), (QVariantList{"5", "0", "1", "0"}));
        settings.setCurrentProfile(0);
        QCOMPARE(matrix.record("5", false), (QVariantList{"5", "0", "1", "0"}));
    }
    for (int n = 0; n < StorePaths::profileCount; ++n) {
        if (n != 2)
            QCOMPARE(folder.read(StorePaths::profile(n)), before.value(n));
    }
    const QByteArray p3 = folder.read("modules/setting/p3.bin");
    QVERIFY(p3.contains("0=100, 101, 102, 103\n"));
    QVERIFY(p3.contains("15=160, 161, 162, 163\n"));
    QVERIFY(!p3.contains("164"));
    // The second table is not touched.
    QVERIFY(p3.contains("[mouseFwKeyMatrix]\n0=1, 0, 240, 0\n"));

    SettingsStore settings;
    settings.setCurrentProfile(2);
    QCOMPARE(KeyMatrixStore(settings).record("15", false),
             (QVariantList{"160", "161", "162", "163"}));
}

void tst_KeyMatrixStore::shortListsStoreZeros_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("one record and a half") << 6;
    QTest::newRow("one short") << 63;
}

void tst_KeyMatrixStore::shortListsStoreZeros()
{
    QFETCH(int, count);
    TestDataFolder folder;
    SettingsStore settings;
    KeyMatrixStore matrix(settings);
    matrix.storeRecords(sequence(count, 1));
    for (int k = 0; k < KeyMatrixStore::buttonCount; ++k) {
        QVariantList expected;
        for (int i = 0; i < 4; ++i)
            expected.append(4 * k + i < count ? 4 * k + i + 1 : 0);
        QCOMPARE(matrix.record(QString::number(k), false), expected);
    }
    // There is no record past the last button.
    QCOMPARE(matrix.record("16", false), QVariantList());
    QCOMPARE(matrix.record("16", true), QVariantList());
    QCOMPARE(matrix.record("", false), QVariantList());
}

QTEST_GUILESS_MAIN(tst_KeyMatrixStore)
#include "tst_keymatrixstore.moc"
