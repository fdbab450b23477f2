// Every delivered data file holds what the program reads from it.
#include "devicetablefile.h"
#include "family553.h"
#include "keymatrixcodes.h"
#include "langstrings.h"
#include "testdatafolder.h"

#include <QFile>
#include <QFileInfo>
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

// Keys the program writes before it ever reads them, so none is delivered:
// the language (the system locale decides), the macro names of macro slots
// and the per-profile gun selections.
const QStringList writtenFirst{"common/language", "mouseMacroKey", "selectGun"};

// The keys a source file names, each as <name, key>.
QList<std::pair<QString, QString>> namedKeys(const QString &path, const QRegularExpression &line)
{
    QList<std::pair<QString, QString>> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    auto it = line.globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        keys.append({match.captured(1), match.captured(2)});
    }
    return keys;
}

bool isByteList(const QVariant &value, int size)
{
    const QStringList items = value.toStringList();
    if (items.size() != size)
        return false;
    for (const QString &item : items) {
        bool ok = false;
        const int n = item.toInt(&ok);
        if (!ok || n < 0 || n > 255)
            return false;
    }
    return true;
}
// Lines naming a key in store/settingkeys.h and the scene's keys file.
const char *const cppKey = R"re(const QString (\w+) = QStringLiteral\("([^"]*)"\))re";
const char *const jsKey = R"re(^\s*const\s+(\w+)\s*=\s*"([^"]*)")re";
} // namespace

using Texts = QMap<int, QString>;

class tst_DeliveredFiles : public QObject
{
    Q_OBJECT

private slots:
    void globalSettingsHaveEveryKey()
    {
        QSettings global(factory("setting/apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(global.status(), QSettings::NoError);
        // The device table serves the virtual mouse.
        const DeviceEntry e = DeviceTableFile::read(factory("setting/apConfig.bin")).value(0);
        QCOMPARE((QList<uint>{uint(e.type), e.vid, e.pid, e.usagePage, e.usage, e.usagePage2,
                              e.usage2, uint(e.reportLength), uint(e.sCode.size())}),
                 (QList<uint>{1, 0x1209, 1, 0xff00, 0xff00, 0xff01, 0xff01, 32, 6}));
        // No language is chosen at delivery: the system locale decides.
        QVERIFY(!global.contains("common/language"));
        QVERIFY(QStringList({"553", "560"}).contains(global.value("mouse/icType").toString()));
        QCOMPARE(global.value("mouse/selectGun").toStringList(), (QStringList{"0", "1", "2"}));
        QVERIFY(global.value("mouse/minDPI").toInt() < global.value("mouse/maxDPI").toInt());
        QVERIFY(global.value("mouse/dpiBase").toInt() > 0);

        // The factory copy matches.
        QFile file(factory("setting/apConfig.bin"));
        QFile copy(factory("setting/apConfigD.bin"));
        QVERIFY(file.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), file.readAll());
    }

    void profilesHaveEveryKey_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("pD") << "setting/pD.bin";
        for (int n = 1; n <= 10; ++n)
            QTest::newRow(qPrintable(QString("p%1").arg(n))) << QString("setting/p%1.bin").arg(n);
    }

    void profilesHaveEveryKey()
    {
        QFETCH(QString, file);
        QSettings profile(factory(file), QSettings::IniFormat);
        QCOMPARE(profile.status(), QSettings::NoError);

        const int rate = profile.value("mouse/reportRate").toInt();
        QVERIFY(rate >= 0 && rate <= 3);
        const int stages = profile.value("mouse/dpiCount").toInt();
        const int active = profile.value("mouse/currentDpiCount").toInt();
        QVERIFY(stages >= 1 && stages <= 8);
        QVERIFY(active >= 1 && active <= stages);
        QCOMPARE(profile.value("mouse/dpiValueArray").toStringList().size(), 8);
        QVERIFY(isByteList(profile.value("mouse/lightValue"), 3));
        QVERIFY(isByteList(profile.value("mouse/colorValue"), 24));
        for (const char *key : {"mouse/mouseRate", "mouse/doubleRate"}) {
            const int position = profile.value(key).toInt();
            QVERIFY2(position >= 3 && position <= 337, key);
        }
        QVERIFY(profile.value("mouse/scrollRate").toInt() >= 1);
        // The left button is a left click: a profile without one is unusable.
        QCOMPARE(profile.value("mouseKeyMatrix/0").toStringList(),
                 (QStringList{"0", "0", "240", "0"}));

        // The firmware table travels to the device untranslated, so it must be
        // the device form of the factory assignment: translated, slots reordered.
        QList<int> records, firmware;
        for (int k = 0; k < 16; ++k) {
            const QVariant record = profile.value(QString("mouseKeyMatrix/%1").arg(k));
            const QVariant device = profile.value(QString("mouseFwKeyMatrix/%1").arg(k));
            QVERIFY2(isByteList(record, 4) && isByteList(device, 4),
                     qPrintable(QString::number(k)));
            for (const QString &code : record.toStringList())
                records.append(code.toInt());
            for (const QString &code : device.toStringList())
                firmware.append(code.toInt());
        }
        QCOMPARE(KeyMatrixCodes::fromRecords(firmware),
                 KeyMatrixCodes::userMatrix(records, Family553Operations::sniperKey));
        for (const char *key : {"XYSensitive/0", "XYSensitive/1"}) {
            const int step = profile.value(key).toInt();
            QVERIFY2(step >= 0 && step <= 9, key);
        }
    }

    // Every key the C++ side and the scene name (store/settingkeys.h, and the
    // scene's keys file where there is one) is in the delivered global settings
    // or default profile: a misspelt key would read nothing at all. A name
    // ending in "/", or without one, stands for a group of numbered keys.
    void namedSettingKeysAreDelivered_data()
    {
        QTest::addColumn<QString>("key");
        const QString source = QStringLiteral(SKARN_SOURCE_DIR);
        const struct
        {
            QString path;
            QRegularExpression line;
            bool required;
        } sources[] = {
            {source + "/store/settingkeys.h", QRegularExpression(cppKey), true},
            {source + "/modules/qml/basic/settingkeys.js",
             QRegularExpression(jsKey, QRegularExpression::MultilineOption), false},
        };
        for (const auto &file : sources) {
            const QString fileName = QFileInfo(file.path).fileName();
            const auto keys = namedKeys(file.path, file.line);
            // A file that can no longer be read names no key: that must fail.
            if (keys.isEmpty() && (file.required || QFile::exists(file.path)))
                QTest::newRow(qPrintable(fileName + " unread")) << QString();
            for (const auto &[name, key] : keys) {
                const QString group = key.endsWith('/') ? key.chopped(1) : key;
                if (!writtenFirst.contains(group))
                    QTest::newRow(qPrintable(fileName + " " + name)) << key;
            }
        }
    }

    void namedSettingKeysAreDelivered()
    {
        QFETCH(QString, key);
        const QSettings global(factory("setting/apConfig.bin"), QSettings::IniFormat);
        const QSettings profile(factory("setting/pD.bin"), QSettings::IniFormat);
        const bool isGroup = key.endsWith('/') || !key.contains('/');
        const QString group = key.endsWith('/') ? key.chopped(1) : key;
        const auto holds = [&](const QSettings &file) {
            return isGroup ? file.childGroups().contains(group) : file.contains(key);
        };
        QVERIFY2(!key.isEmpty() && (holds(global) || holds(profile)), qPrintable(key));
    }

    // Six presets by name, each with its values in the ranges the editor takes.
    void gunDataHoldsSixPresets()
    {
        QSettings guns(factory("gun/gunData.bin"), QSettings::IniFormat);
        QStringList names;
        for (int i = 0; i < 6; ++i) {
            const QStringList r = guns.value(QString("gunData/%1").arg(i)).toStringList();
            names << r.value(0);
            const int period = r.value(2).toInt(), y = r.value(4).toInt(),
                      times = r.value(5).toInt();
            QVERIFY(r.size() == 6 && period >= 4 && period <= 90 && y >= 0 && y <= 64 &&
                    times >= 0 && times <= 255);
        }
        QCOMPARE(names, (QStringList{"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"}));
    }

    void languagesHaveEveryGroupTheSceneReads_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("count");
        // English texts that are the screens' defaults. Labels that the screens
        // complete with a number keep their space.
        QTest::addColumn<Texts>("english");
        const auto row = [](const char *group, int count, const Texts &english = {}) {
            QTest::newRow(group) << group << count << english;
        };
        // The groups in the order the main scene asks for them.
        row("main", 14, {{13, "Close"}});
        row("keyMatrix", 3, {{0, "Key "}, {1, "Key Function"}});
        row("keyAssigment", 59,
            {{0, "Key "},
             {19, "Macro runs endless loop until any button is pressed"},
             {33, "Volumn+"},
             {56, "Sniper Key"}});
        row("dpiSetting", 3, {{2, "DPI stage %1: %2"}});
        row("lightControl", 20, {{15, "Breath Loop"}, {19, "Blue"}});
        row("macroEditor", 19, {{17, "Insert Right Key"}});
        row("systemSetting", 10);
        row("gunControl", 11, {{9, "Endness"}});
        row("profile", 7, {{5, "Standard"}});
        row("keyCode", 133);
        row("other", 9,
            {{8, "Access to the mouse was denied. Install the udev rule 70-skarn-config.rules "
                 "(see the README) and plug the mouse in again."}});
        row("notice", 6,
            {{3, "Discard"},
             {5, "The settings were not written to the mouse. Check that it is connected and "
                 "try again."}});
    }

    void languagesHaveEveryGroupTheSceneReads()
    {
        QFETCH(QString, group);
        QFETCH(int, count);
        QFETCH(Texts, english);
        for (const char *language : {"English", "ChineseSimplified"}) {
            const QStringList texts = LangStrings::read(group, language);
            QVERIFY2(texts.size() == count,
                     qPrintable(QStringLiteral("%1: %2").arg(language).arg(texts.size())));
            for (int i = 0; i < count; ++i)
                QVERIFY2(!texts.at(i).trimmed().isEmpty(),
                         qPrintable(QStringLiteral("%1 entry %2").arg(language).arg(i)));
        }
        for (auto it = english.begin(); it != english.end(); ++it) {
            QCOMPARE(LangStrings::read(group, "English").value(it.key()), it.value());
            // The Chinese file is a translation, not a copy.
            QVERIFY(LangStrings::read(group, "ChineseSimplified").value(it.key()) != it.value());
        }
    }

    void rowIconsKeepTheirPartsOnTheSelectedRow_data()
    {
        QTest::addColumn<QString>("icon");
        for (const char *name : {"delay", "keyDown", "keyUp", "mouseDown", "mouseUp"})
            QTest::newRow(name)
                << QStringLiteral("img/skin1/macros/%1.svg").arg(QLatin1String(name));
    }

    // Every part of an event icon that shows on the black list shows on the
    // orange selected row too, at least by its outline (within a pixel).
    void rowIconsKeepTheirPartsOnTheSelectedRow()
    {
        QFETCH(QString, icon);
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
        const QList<QPoint> onBlack = seenOn(Qt::black);
        const QList<QPoint> onOrange = seenOn(QColor(0xcf, 0x3e, 0x00));
        QVERIFY(!onBlack.isEmpty());
        for (const QPoint &p : onBlack) {
            const bool kept = std::any_of(onOrange.begin(), onOrange.end(), [&p](const QPoint &q) {
                return qAbs(q.x() - p.x()) <= 1 && qAbs(q.y() - p.y()) <= 1;
            });
            QVERIFY2(kept, qPrintable(QStringLiteral("lost at %1,%2").arg(p.x()).arg(p.y())));
        }
    }

private:
    const TestDataFolder m_folder; // the language files are read from the current folder
};

QTEST_MAIN(tst_DeliveredFiles)
#include "tst_deliveredfiles.moc"
