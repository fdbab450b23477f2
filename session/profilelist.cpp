#include "profilelist.h"

#include "namelistfile.h"
#include "settingsstore.h"

namespace {
constexpr int profileList = 2;
}

ProfileList::ProfileList(SettingsStore &store, const QString &firstName)
    : m_store(store), m_firstName(firstName)
{}

QList<ProfileList::Row> ProfileList::parse(const QStringList &stored)
{
    QStringList entries = stored;
    if (entries.size() == 2 && entries.at(1) == NameListFile::sentinel)
        entries.removeLast();
    QList<Row> rows;
    QList<int> used;
    for (const QString &text : std::as_const(entries)) {
        if (rows.size() >= maxProfiles)
            break;
        const int digit = text.isEmpty() ? -1 : int(QStringLiteral("012345").indexOf(text.back()));
        if (digit < 0 || used.contains(digit))
            continue;
        used.append(digit);
        rows.append({text.chopped(1), digit});
    }
    return rows;
}

QStringList ProfileList::storedList(const QList<Row> &rows)
{
    QStringList list;
    for (const Row &row : rows)
        list.append(row.name + QString::number(row.number));
    return list;
}

QList<ProfileList::Row> ProfileList::rows() const
{
    QStringList stored;
    for (const QVariant &entry :
         NameListFile(m_store.root(), m_store.setAsideNotice()).read(profileList))
        stored.append(entry.toString());
    QList<Row> rows = parse(stored);
    // Without a stored list there is still the first profile.
    if (rows.isEmpty())
        rows.append({QString(), 0});
    rows.first().name = m_firstName;
    return rows;
}

QString ProfileList::newName(const QList<Row> &rows)
{
    for (int k = 0;; ++k) {
        const QString name = QStringLiteral("profile_%1").arg(k);
        if (std::none_of(rows.begin(), rows.end(),
                         [&](const Row &row) { return row.name == name; }))
            return name;
    }
}

int ProfileList::freeNumber(const QList<Row> &rows)
{
    for (int n = 0; n < maxProfiles; ++n) {
        if (std::none_of(rows.begin(), rows.end(), [n](const Row &row) { return row.number == n; }))
            return n;
    }
    return -1;
}

ProfileList::Refusal ProfileList::refusal(const QList<Row> &rows, const QString &name)
{
    // A blank name would leave a row with nothing to click in the switcher;
    // the sentinel would end the list.
    if (name.trimmed().isEmpty())
        return Refusal::NotFileName;
    if (name.size() > maxNameLength)
        return Refusal::TooLong;
    if (name == NameListFile::sentinel)
        return Refusal::Reserved;
    if (std::any_of(rows.begin(), rows.end(), [&](const Row &row) { return row.name == name; }))
        return Refusal::Taken;
    return Refusal::None;
}

bool ProfileList::store(const QList<Row> &rows)
{
    return NameListFile(m_store.root(), m_store.setAsideNotice())
        .update(profileList, storedList(rows));
}

int ProfileList::add()
{
    QList<Row> list = rows();
    const int number = freeNumber(list);
    if (list.size() >= maxProfiles || number < 0)
        return -1;
    list.append({newName(list), number});
    return store(list) ? number : -1;
}

bool ProfileList::remove(int number)
{
    QList<Row> list = rows();
    const qsizetype removed =
        list.removeIf([number](const Row &row) { return row.number == number; });
    return removed == 0 || store(list);
}

int ProfileList::find(const QString &which) const
{
    const QList<Row> list = rows();
    // Numbers as the user reads them: digits only, no sign, blank or
    // leading zero.
    bool isNumber = !which.isEmpty() && which.front() != QLatin1Char('0') &&
                    std::all_of(which.begin(), which.end(), [](QChar c) { return c.isDigit(); });
    const int number = isNumber ? which.toInt(&isNumber) : 0;
    for (const Row &row : list) {
        if (isNumber && row.number + 1 == number)
            return row.number;
    }
    for (const Row &row : list) {
        if (row.name == which)
            return row.number;
    }
    return -1;
}
