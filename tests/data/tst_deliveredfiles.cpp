// Every delivered data file holds what the program reads from it.
#include "family553.h"
#include "keymatrixcodes.h"
#include "langstrings.h"
#include "testdatafolder.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

class tst_DeliveredFiles : public QObject
{
    Q_OBJECT

private slots:
    // A left click on the left button; the firmware table, sent as is, is the device form.
    void profiles()
    {
        for (const QString &n : QString("D 1 2 3 4 5 6 7 8 9 10").split(' ')) {
            const QSettings profile("modules/setting/p" + n + ".bin", QSettings::IniFormat);
            QList<int> matrix[2]; // the assignment, the firmware table
            for (int k = 0; k < 32; ++k) {
                const QString key = k < 16 ? "mouseKeyMatrix/%1" : "mouseFwKeyMatrix/%1";
                for (const QString &item : profile.value(key.arg(k % 16)).toStringList())
                    matrix[k / 16] << item.toInt();
            }
            QCOMPARE(matrix[0].mid(0, 4), (QList<int>{0, 0, 240, 0}));
            QCOMPARE(KeyMatrixCodes::fromRecords(matrix[1]),
                     KeyMatrixCodes::userMatrix(matrix[0], Family553Operations::sniperKey));
        }
    }

    // Every key the program names is delivered: a misspelt key would read nothing. Language,
    // macro names and gun selections are written before they are read.
    void namedSettingKeys()
    {
        const QStringList delivered =
            QSettings("modules/setting/apConfig.bin", QSettings::IniFormat).allKeys() +
            QSettings("modules/setting/pD.bin", QSettings::IniFormat).allKeys();
        for (const auto &[path, line] :
             {std::pair{"/store/settingkeys.h", "QStringLiteral\\(\"([^\"]*)\"\\)"},
              {"/modules/qml/basic/settingkeys.js", "const\\s+\\w+\\s*=\\s*\"([^\"]*)\""}}) {
            QFile file(SKARN_SOURCE_DIR + QString(path));
            QVERIFY(file.open(QIODevice::ReadOnly));
            auto it = QRegularExpression(line).globalMatch(QString::fromUtf8(file.readAll()));
            QVERIFY2(it.hasNext(), path);
            QStringList missing;
            const QRegularExpression unread("^(common/language|mouseMacroKey|selectGun)/?$");
            while (it.hasNext()) {
                const QString key = it.next().captured(1);
                const QString all = "^" + key + (key.endsWith('/') ? "" : "(/|$)");
                if (delivered.filter(QRegularExpression(all)).isEmpty() && !key.contains(unread))
                    missing << key;
            }
            QCOMPARE(missing, QStringList());
        }
    }

    // English has each group the scene and the tray read, in full; every other language has
    // English's groups and counts, a text wherever English has one with the same placeholders
    // and accelerator, its own name, and one name per key (English repeats two).
    void languages_data()
    {
        QTest::addColumn<QString>("code");
        for (const LangStrings::Language &language : LangStrings::languages("."))
            QTest::newRow(qPrintable(language.code)) << language.code;
    }

    void languages()
    {
        QFETCH(QString, code);
        QCOMPARE(LangStrings::languages(".").size(), 14);
        const QString groups = "main 15 keyMatrix 3 keyAssigment 59 dpiSetting 5 lightControl 23 "
                               "macroEditor 21 systemSetting 12 gunControl 11 profile 8 "
                               "keyCode 133 other 9 notice 10 tray 10 fileDialog 4 language 2";
        QStringList read;
        for (const QString &group : QString(groups).remove(QRegularExpression(" \\d+")).split(' '))
            read << group << QString::number(LangStrings::read(".", group, "English").size());
        QCOMPARE(read.join(' '), groups);

        const QSettings english("modules/i18n/English.ini", QSettings::IniFormat);
        const QSettings file("modules/i18n/" + code + ".ini", QSettings::IniFormat);
        const auto text = [](const QVariant &value) {
            return value.toStringList().join(", ");
        };
        const auto marks = [](const QString &text) {
            QStringList found;
            for (const auto &match : QRegularExpression("%\\d|&").globalMatch(text))
                found << match.captured();
            found.sort();
            return found;
        };
        QStringList faults;
        for (const QString &group : english.childGroups()) {
            const int total = english.value(group + "/total").toInt();
            if (file.value(group + "/total").toInt() != total)
                faults << group + "/total";
            for (int i = 0; i < total; ++i) {
                const QString key = group + '/' + QString::number(i);
                const QString shown = text(file.value(key));
                if (shown.trimmed().isEmpty() != text(english.value(key)).isEmpty() ||
                    marks(shown) != marks(text(english.value(key))))
                    faults << key;
            }
        }
        // Each text reads back as written: unquoted, a ';' would end it and a ',' split it.
        QFile raw("modules/i18n/" + code + ".ini");
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QString group;
        for (const QString &line : QString::fromUtf8(raw.readAll()).split('\n')) {
            if (line.startsWith('['))
                group = line.mid(1, line.size() - 2);
            const QString key = group + '/' + line.section('=', 0, 0);
            QString value = line.section('=', 1);
            if (value.startsWith('"'))
                value = value.mid(1, value.size() - 2).replace("\\\"", "\"").replace("\\\\", "\\");
            if (line.contains('=') && text(file.value(key)) != value)
                faults << key;
        }
        const QStringList keys = LangStrings::read(".", "keyCode", code);
        for (int i = 0; i < keys.size(); ++i)
            if (keys.indexOf(keys.at(i)) != i && i != 46 && i != 115)
                faults << "keyCode/" + QString::number(i);
        QCOMPARE(faults, QStringList());
        const QString name = text(file.value("language/0"));
        QVERIFY(!name.isEmpty() && (code == "English") == (name == "English"));
    }

    // Event icons keep their coloured strokes on the orange selected row.
    void rowIconsKeepTheirPartsOnTheSelectedRow()
    {
        for (const char *name : {"delay", "keyDown", "keyUp", "mouseDown", "mouseUp"}) {
            const QImage icon(QStringLiteral("modules/img/skin1/macros/%1.svg").arg(name));
            const auto seenOn = [&icon](const QColor &row, int grow) {
                QImage over(icon.size(), QImage::Format_RGB32);
                over.fill(row);
                QPainter(&over).drawImage(0, 0, icon);
                QRegion seen;
                for (int i = 0; i < over.width() * over.height(); ++i)
                    if (const QColor c = over.pixelColor(i % over.width(), i / over.width());
                        qAbs(c.red() - row.red()) + qAbs(c.green() - row.green()) +
                            qAbs(c.blue() - row.blue()) >
                        96)
                        seen += QRect(i % over.width() - grow, i / over.width() - grow,
                                      1 + 2 * grow, 1 + 2 * grow);
                return seen;
            };
            const QRegion onBlack = seenOn(Qt::black, 0);
            QVERIFY(!onBlack.isEmpty() && (onBlack - seenOn(QColor(0xcf, 0x3e, 0), 1)).isEmpty());
        }
    }

private:
    const TestDataFolder m_folder; // a copy of the delivered files, the current folder
};

QTEST_MAIN(tst_DeliveredFiles)
#include "tst_deliveredfiles.moc"
