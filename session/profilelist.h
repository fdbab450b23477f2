#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;

// The stored profile list (name list 2): up to six named profiles, each a
// name followed by its profile number as one digit. The title bar, the
// profile manager, the tray and the command line show the same rows.
class ProfileList
{
public:
    static constexpr int maxProfiles = 6;
    static constexpr int maxNameLength = 64;

    struct Row
    {
        QString name;
        int number = 0; // 0-based; shown as number + 1
        bool operator==(const Row &other) const
        {
            return name == other.name && number == other.number;
        }
    };

    // Why a name is refused, in the order of the refusal texts.
    enum class Refusal { None = -1, Taken = 0, NotFileName = 1, TooLong = 2, Reserved = 3 };

    // `firstName` names the first row, whatever is stored for it.
    ProfileList(SettingsStore &store, const QString &firstName = QStringLiteral("Standard"));

    // The rows as the data folder holds them; at least the first profile.
    QList<Row> rows() const;
    // Rows of a stored list: entries without a number 0..5 at the end, or
    // with a number an earlier row already uses, are left out; six at most.
    static QList<Row> parse(const QStringList &stored);
    static QStringList storedList(const QList<Row> &rows);
    // "profile_" and the smallest k no row's name uses.
    static QString newName(const QList<Row> &rows);
    // The smallest number 0..5 no row uses; -1 when none is free.
    static int freeNumber(const QList<Row> &rows);
    static Refusal refusal(const QList<Row> &rows, const QString &name);

    // Writes `rows`; false when the data folder did not take them (the
    // stored rows stay as they were).
    bool store(const QList<Row> &rows);
    // A new row under a new name and the lowest free number; -1 when six
    // profiles exist or the list could not be stored.
    int add();
    bool remove(int number);

    // The row whose number (as shown, from 1) or else whose name is
    // `which`; -1 for none.
    int find(const QString &which) const;

private:
    SettingsStore &m_store;
    QString m_firstName;
};
