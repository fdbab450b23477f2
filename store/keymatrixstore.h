#pragma once

#include <QVariantMap>

class SettingsStore;

// The assignment records of the 16 buttons ("mouseKeyMatrix/<k>", four
// codes each) in the current profile, with the factory records in the
// default profile.
class KeyMatrixStore
{
public:
    static constexpr int buttonCount = 16;
    static constexpr int recordSize = 4;

    explicit KeyMatrixStore(SettingsStore &settings) : m_settings(settings) {}

    // Empty when the record is missing.
    QVariantList record(const QString &index, bool fromDefault) const;
    // Stores record k from src64[4k .. 4k+3] for every button; values the
    // list lacks are stored as 0, as they are sent. False when the profile
    // could not be written.
    bool storeRecords(const QVariantList &src64);
    // The same records as keys and values, to be stored with others at once.
    static QVariantMap recordValues(const QVariantList &src64);
    // The firmware records ("mouseFwKeyMatrix/<k>") of the current profile
    // as 64 values, record k at 4k; codes a record lacks are 0.
    QVariantList firmwareRecords() const;

private:
    SettingsStore &m_settings;
};
