#include "devicetablefile.h"

#include "filereplace.h"
#include "settingkeys.h"
#include "storepaths.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>

namespace {
// Hexadecimal text; anything that is not valid hexadecimal gives 0.
quint16 hex16(const QSettings &file, const QString &key)
{
    bool ok = false;
    const uint value = file.value(key).toString().toUInt(&ok, 16);
    return ok && value <= 0xFFFF ? quint16(value) : 0;
}
} // namespace

DeviceTable DeviceTableFile::read(const QString &path)
{
    if (!FileReplace::isReadableData(path))
        return {};
    const QSettings file(path, QSettings::IniFormat);
    const int count = std::min(file.value(SettingKeys::commonDeviceCount, 0).toInt(), maxDevices);
    DeviceTable table;
    for (int i = 0; i < count; ++i) {
        const QString s = QString::number(i) + QLatin1Char('/');
        DeviceEntry entry;
        if (file.contains(s + QStringLiteral("type"))) {
            bool ok = false;
            const int type = file.value(s + QStringLiteral("type")).toString().toInt(&ok, 16);
            entry.type = ok ? type : 0;
        }
        entry.vid = hex16(file, s + QStringLiteral("vid"));
        entry.pid = hex16(file, s + QStringLiteral("pid"));
        entry.usagePage = hex16(file, s + QStringLiteral("usagePage"));
        entry.usage = hex16(file, s + QStringLiteral("usage"));
        entry.usagePage2 = hex16(file, s + QStringLiteral("usagePage2"));
        entry.usage2 = hex16(file, s + QStringLiteral("usage2"));
        entry.reportLength = file.value(s + QStringLiteral("reportLength"), 32).toInt();
        entry.isEncode = file.value(s + QStringLiteral("isEncode"), false).toBool();
        entry.sCode = file.value(s + QStringLiteral("sCode"), entry.sCode).toString();
        table.append(entry);
    }
    return table;
}

bool DeviceTableFile::isDamaged(const QString &path)
{
    if (!FileReplace::isReadableData(path))
        return true;
    bool isCount = false;
    const int count = QSettings(path, QSettings::IniFormat)
                          .value(SettingKeys::commonDeviceCount)
                          .toString()
                          .trimmed()
                          .toInt(&isCount);
    if (!isCount)
        return true;
    if (count <= 0)
        return false;
    const DeviceTable table = read(path);
    return std::none_of(table.begin(), table.end(),
                        [](const DeviceEntry &entry) { return entry.vid && entry.pid; });
}

DeviceTable DeviceTableFile::load(const QString &root, bool *fromFactory)
{
    // Opening the global settings writes what the store has left pending
    // there for want of room, without the check the store makes: out of
    // room, the table is read from a copy, or from the factory table.
    QString global = StorePaths::in(root, StorePaths::globalSettings);
    const QString factory = StorePaths::in(root, StorePaths::factoryGlobalSettings);
    std::optional<QTemporaryDir> copyFolder; // made only when needed: every pass loads
    if (!FileReplace::hasRoomFor(global)) {
        copyFolder.emplace();
        const QString copy = copyFolder->filePath(QStringLiteral("apConfig.bin"));
        global = copyFolder->isValid() && QFile::copy(global, copy) ? copy : factory;
    }
    // A damaged table would find no mouse at all, silently; the factory
    // table still serves the devices the program ships with.
    const bool useFactory = isDamaged(global) && !isDamaged(factory);
    if (fromFactory)
        *fromFactory = useFactory;
    return read(useFactory ? factory : global);
}
