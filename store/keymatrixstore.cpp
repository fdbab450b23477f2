#include "keymatrixstore.h"

#include "settingkeys.h"
#include "settingsstore.h"

namespace {
QString keyFor(const QString &index)
{
    return SettingKeys::mouseKeyMatrix + index;
}
} // namespace

QVariantList KeyMatrixStore::record(const QString &index, bool fromDefault) const
{
    return m_settings.dataList(keyFor(index), fromDefault);
}

bool KeyMatrixStore::storeRecords(const QVariantList &src64)
{
    return m_settings.setDataValues(recordValues(src64));
}

QVariantMap KeyMatrixStore::recordValues(const QVariantList &src64)
{
    QVariantMap values;
    for (int k = 0; k < buttonCount; ++k) {
        QVariantList record;
        for (int i = 0; i < recordSize; ++i)
            record.append(src64.value(k * recordSize + i, 0));
        values.insert(keyFor(QString::number(k)), record);
    }
    return values;
}

QVariantList KeyMatrixStore::firmwareRecords() const
{
    QVariantList records;
    for (int k = 0; k < buttonCount; ++k) {
        const QVariantList record =
            m_settings.dataList(SettingKeys::mouseFwKeyMatrix + QString::number(k), false);
        for (int i = 0; i < recordSize; ++i)
            records.append(record.value(i, 0));
    }
    return records;
}
