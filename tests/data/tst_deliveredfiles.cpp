// Every delivered data file holds what the program reads from it.
#include "devicetablefile.h"
#include "family553.h"
#include "keymatrixcodes.h"
#include "langstrings.h"
#include "testdatafolder.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <algorithm>

namespace {
QString factory(const QString &relative)
{
    return TestDataFolder::factoryModules() + "/" + relative;
}

// The values of a list of `size` bytes, or nothing.
QList<int> byteList(const QVariant &value, int size)
{
    QList<int> bytes;
    for (const QString &item : value.toStringList()) {
        bool ok = false;
        bytes << item.toInt(&ok);
        if (!ok || bytes.last() < 0 || bytes.last() > 255)
            return {};
    }
    return bytes.size() == size ? bytes : QList<int>();
}

// Lines naming a key in store/settingkeys.h and the scene's keys file.
const std::pair<const char *, const char *> keyFiles[] = {
    {"/store/settingkeys.h", R"re(const QString (\w+) = QStringLiteral\("([^"]*)"\))re"},
    {"/modules/qml/basic/settingkeys.js", R"re((?m)^\s*const\s+(\w+)\s*=\s*"([^"]*)")re"}};
} // namespace

class tst_DeliveredFiles : public QObject
{
    Q_OBJECT

private slots:
    void globalSettings()
    {
        // The device table serves the virtual mouse.
        const DeviceEntry e = DeviceTableFile::read(factory("setting/apConfig.bin")).value(0);
        QCOMPARE((QList<uint>{uint(e.type), e.vid, e.pid, e.usagePage, e.usage, e.usagePage2,
                              e.usage2, uint(e.reportLength), uint(e.sCode.size())}),
                 (QList<uint>{1, 0x1209, 1, 0xff00, 0xff00, 0xff01, 0xff01, 32, 6}));
        // No language is chosen at delivery: the system locale decides.
        QVERIFY(!QSettings(factory("setting/apConfig.bin"), QSettings::IniFormat)
                     .contains("common/language"));
        QFile file(factory("setting/apConfig.bin")), copy(factory("setting/apConfigD.bin"));
        QVERIFY(file.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), file.readAll());
    }

    void profiles()
    {
        for (const char *n : {"D", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}) {
            const QString file = QStringLiteral("setting/p%1.bin").arg(QLatin1String(n));
            QSettings profile(factory(file), QSettings::IniFormat);
            const int stages = profile.value("mouse/dpiCount").toInt();
            const int active = profile.value("mouse/currentDpiCount").toInt();
            QVERIFY(active >= 1 && active <= stages && stages <= 8);
            QVERIFY(!byteList(profile.value("mouse/lightValue"), 3).isEmpty());
            QVERIFY(!byteList(profile.value("mouse/colorValue"), 24).isEmpty());
            // The left button is a left click: a profile without one is unusable.
            QCOMPARE(profile.value("mouseKeyMatrix/0").toStringList(),
                     (QStringList{"0", "0", "240", "0"}));
            // The firmware table travels to the device untranslated, so it must be
            // the device form of the factory assignment: translated, slots reordered.
            QList<int> records, firmware;
            for (int k = 0; k < 16; ++k) {
                records << byteList(profile.value(QString("mouseKeyMatrix/%1").arg(k)), 4);
                firmware << byteList(profile.value(QString("mouseFwKeyMatrix/%1").arg(k)), 4);
            }
            QCOMPARE(records.size() + firmware.size(), 128);
            QCOMPARE(KeyMatrixCodes::fromRecords(firmware),
                     KeyMatrixCodes::userMatrix(records, Family553Operations::sniperKey));
        }
    }

    // Every key store/settingkeys.h and the scene's keys file name is in the
    // delivered global settings or default profile: a misspelt key would read
    // nothing. A name ending in "/", or without one, stands for a group of
    // numbered keys. The language, macro names and gun selections are written
    // before they are read, so none is delivered.
    void namedSettingKeys_data()
    {
        QTest::addColumn<QString>("key");
        const QString source = QStringLiteral(SKARN_SOURCE_DIR);
        for (const auto &[path, line] : keyFiles) {
            QFile file(source + path);
            const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            auto it = QRegularExpression(line).globalMatch(QString::fromUtf8(text));
            // A file that can no longer be read names no key: that must fail.
            if (!it.hasNext())
                QTest::newRow(path) << QString();
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                const QString key = m.captured(2);
                if (!QStringList{"common/language", "mouseMacroKey", "selectGun"}.contains(
                        key.endsWith('/') ? key.chopped(1) : key))
                    QTest::addRow("%s %s", path, qPrintable(m.captured(1))) << key;
            }
        }
    }

    void namedSettingKeys()
    {
        QFETCH(QString, key);
        const bool isGroup = key.endsWith('/') || !key.contains('/');
        const auto holds = [&](const char *file) {
            const QSettings s(factory(file), QSettings::IniFormat);
            return isGroup ? s.childGroups().contains(key.section('/', 0, 0)) : s.contains(key);
        };
        QVERIFY2(!key.isEmpty() && (holds("setting/apConfig.bin") || holds("setting/pD.bin")),
                 qPrintable(key));
    }

    // Each group the scene reads, with its entry count, in both languages.
    void languages()
    {
        const std::pair<const char *, int> groups[] = {
            {"main", 14},         {"keyMatrix", 3},    {"keyAssigment", 59},  {"dpiSetting", 3},
            {"lightControl", 20}, {"macroEditor", 19}, {"systemSetting", 10}, {"gunControl", 11},
            {"profile", 7},       {"keyCode", 133},    {"other", 9},          {"notice", 6}};
        for (const auto &[group, count] : groups) {
            for (const char *language : {"English", "ChineseSimplified"}) {
                const QStringList texts = LangStrings::read(group, language);
                QCOMPARE(texts.size(), count);
                QCOMPARE(texts.filter(QRegularExpression("^\\s*$")), QStringList());
            }
            // Labels the screens complete with a number keep their space.
            if (qstrcmp(group, "keyMatrix") == 0)
                QCOMPARE(LangStrings::read(group, "English").value(0), "Key ");
        }
    }

    void rowIconsKeepTheirPartsOnTheSelectedRow()
    {
        for (const char *name : {"delay", "keyDown", "keyUp", "mouseDown", "mouseUp"}) {
            const QString icon = QStringLiteral("img/skin1/macros/%1.svg").arg(name);
            const QImage image = QImage(factory(icon)).convertToFormat(QImage::Format_ARGB32);
            QVERIFY(!image.isNull());
            const auto seenOn = [&image](const QColor &row) {
                QImage over(image.size(), QImage::Format_RGB32);
                over.fill(row);
                QPainter(&over).drawImage(0, 0, image);
                QList<QPoint> seen;
                for (int y = 0; y < over.height(); ++y) {
                    for (int x = 0; x < over.width(); ++x) {
                        const QColor c = over.pixelColor(x, y);
                        if (qAbs(c.red() - row.red()) + qAbs(c.green() - row.green()) +
                                qAbs(c.blue() - row.blue()) >
                            96)
                            seen.append(QPoint(x, y));
                    }
                }
                return seen;
            };
            const QList<QPoint> onBlack = seenOn(Qt::black),
                                onOrange = seenOn(QColor(0xcf, 0x3e, 0));
            QVERIFY(!onBlack.isEmpty());
            for (const QPoint &p : onBlack) {
                const bool kept =
                    std::any_of(onOrange.begin(), onOrange.end(), [&p](const QPoint &q) {
                        return qAbs(q.x() - p.x()) <= 1 && qAbs(q.y() - p.y()) <= 1;
                    });
                QVERIFY2(kept,
                         qPrintable(QString("%1 lost at %2,%3").arg(icon).arg(p.x()).arg(p.y())));
            }
        }
    }

private:
    const TestDataFolder m_folder; // the language files are read from the current folder
};

QTEST_MAIN(tst_DeliveredFiles)
#include "tst_deliveredfiles.moc"
