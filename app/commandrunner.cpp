#include "commandrunner.h"

#include "filedialogs.h"
#include "filereplace.h"
#include "hid_thread.h"
#include "profilelist.h"
#include "profilesettings.h"
#include "profilestore.h"
#include "session.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "usertexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <memory>
#include <utility>

namespace {
// Whether `file` is, or would be made, among the program's own files under
// `root`, links followed.
bool isAmongProgramFiles(const QString &root, const QString &file)
{
    const QString own = QFileInfo(root + QStringLiteral("/modules")).canonicalFilePath();
    const QFileInfo target(file);
    const auto within = [&own](const QString &path) {
        return !path.isEmpty() && (path == own || path.startsWith(own + QLatin1Char('/')));
    };
    return !own.isEmpty() &&
           (within(target.absoluteDir().canonicalPath()) || within(target.canonicalFilePath()));
}

// Answers the store's file dialog with the path given on the command line,
// once, and notes that it was asked.
class CommandFileDialogs : public FileDialogs
{
public:
    explicit CommandFileDialogs(const QString &path) : m_path(path) {}
    QString openFileName(const QString &) override { return take(); }
    QString saveFileName(const QString &) override { return take(); }

private:
    QString take() { return std::exchange(m_path, QString()); }
    QString m_path;
};

// Empty for anything but a file of data's size: a device or a pipe named on
// the command line would be read without end.
QByteArray contents(const QString &path)
{
    QFile file(path);
    return FileReplace::isReadableData(path) && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                               : QByteArray();
}

QString noProfile(const QString &which)
{
    return QStringLiteral("no profile %1").arg(CommandLine::quoted(which));
}

QString noAnswer()
{
    return QStringLiteral("the mouse did not answer");
}

// A whole number as the user types it: digits, no sign, blank or leading
// zero; -1 for anything else.
int positiveNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 9 || text.front() == QLatin1Char('0') ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
        return -1;
    return text.toInt();
}

// What the session tells the user during one command, which becomes the
// command's failure in the same words: a refusal, a change not saved or
// not sent. A pointer setting the desktop did not take (or there is no
// desktop, as over ssh) leaves the mouse's change done: a warning, not a
// failure.
class Listener : public QObject
{
public:
    Listener(Session &session, bool alone)
        : m_session(session), m_alone(alone),
          m_setAsideBefore(alone ? 0 : session.setAsideFiles().size())
    {
        connect(&session, &Session::notice, this, [this](const QString &text) {
            if (!m_notices.contains(text.simplified()))
                m_notices << text.simplified();
        });
        connect(&session, &Session::pointerSettingFailed, this, [this](const QString &text) {
            if (!m_warnings.contains(text.simplified()))
                m_warnings << text.simplified();
        });
        m_kept = session.refusalText(UserTexts::NotSaved).simplified();
    }

    CommandResult finish(CommandResult result)
    {
        // Files set aside (before the command, run alone, or while it read
        // them) leave the command done on their factory values: a warning,
        // with the files named.
        const QString setAside = m_session.refusalText(UserTexts::DamagedFiles).simplified();
        m_notices.removeAll(setAside);
        const QStringList files = m_session.setAsideFiles().mid(m_setAsideBefore);
        if (!files.isEmpty())
            m_warnings << setAside + QStringLiteral(" (%1)").arg(files.join(QLatin1String(", ")));
        for (const QString &warning : std::as_const(m_warnings))
            m_notices.removeOne(warning);
        // Run alone, the process ends with the command: a change kept for
        // the next write goes with it.
        if (m_alone)
            m_notices.replaceInStrings(
                m_kept,
                QStringLiteral("the data folder could not be written; the change is not kept"));
        m_notices.removeDuplicates();
        if (!m_notices.isEmpty())
            return CommandResult::failure(m_notices.join(QLatin1String("; ")));
        for (const QString &warning : std::as_const(m_warnings))
            result.err += QStringLiteral("warning: %1\n").arg(warning);
        return result;
    }

private:
    Session &m_session;
    bool m_alone;
    qsizetype m_setAsideBefore;
    QString m_kept;
    QStringList m_notices;
    QStringList m_warnings;
};

const char *const rateHertzTexts[] = {"125", "250", "500", "1000"};
} // namespace

void CommandRunner::run(const CommandLine &command, const Done &done)
{
    auto listener = std::make_shared<Listener>(m_session, m_kind == Kind::Alone);
    dispatch(command,
             [listener, done](const CommandResult &result) { done(listener->finish(result)); });
}

void CommandRunner::dispatch(const CommandLine &command, const Done &done)
{
    const QString &name = command.subcommand;
    const QStringList &args = command.arguments;
    // A DPI stage lives in the mouse alone; an export writes elsewhere.
    const bool storesAChange = name == QLatin1String("profile") ||
                               name == QLatin1String("report-rate") ||
                               name == QLatin1String("import-profile");
    if (storesAChange && !m_changesRefused.isEmpty())
        return done(CommandResult::failure(m_changesRefused));
    if (name == QLatin1String("status"))
        return status(command.json, done);
    if (name == QLatin1String("profiles"))
        return done(profiles());
    if (name == QLatin1String("profile"))
        return switchProfile(args.value(0), done);
    if (name == QLatin1String("dpi-stage"))
        return dpiStage(args.value(0), done);
    if (name == QLatin1String("report-rate"))
        return reportRate(args.value(0), done);
    if (name == QLatin1String("export-profile"))
        return done(exportProfile(args.value(0), args.value(1)));
    if (name == QLatin1String("import-profile"))
        return importProfile(args.value(0), args.value(1), done);
    done(CommandResult::failure(
        QStringLiteral("unknown command %1").arg(CommandLine::quoted(name))));
}

QString CommandRunner::deviceRefusal() const
{
    if (m_session.isConnected())
        return QString();
    if (m_session.accessDenied())
        return QStringLiteral("access to the mouse was denied (install the udev rule "
                              "70-skarn-config.rules, then plug the mouse in again)");
    return QStringLiteral("no mouse connected");
}

void CommandRunner::status(bool json, const Done &done)
{
    const bool isConnected = m_session.isConnected();
    const QString family = m_session.store().deviceFlags().icType;
    const QString access =
        m_session.accessDenied() ? QStringLiteral("denied") : QStringLiteral("granted");
    auto object =
        std::make_shared<QJsonObject>(QJsonObject{{QStringLiteral("connected"), isConnected},
                                                  {QStringLiteral("access"), access},
                                                  {QStringLiteral("family"), family}});
    auto lines = std::make_shared<QStringList>();
    if (isConnected) {
        const Hid_Thread &link = m_session.link();
        const int row = link.currentIndex();
        const DeviceEntry entry = link.deviceTable().value(row);
        const auto hex4 = [](int id) {
            return QStringLiteral("%1").arg(id, 4, 16, QChar('0'));
        };
        object->insert(QStringLiteral("row"), row);
        object->insert(QStringLiteral("vendorId"), hex4(entry.vid));
        object->insert(QStringLiteral("productId"), hex4(entry.pid));
        *lines << QStringLiteral("mouse: row %1, %2:%3, family %4")
                      .arg(row)
                      .arg(hex4(entry.vid), hex4(entry.pid), family);
        *lines << QStringLiteral("connection: connected");
    } else {
        *lines << QStringLiteral("mouse: none");
        *lines << QStringLiteral("connection: not connected");
    }
    *lines << QStringLiteral("access: ") + access;

    const int active = m_session.activeProfile();
    QString name;
    for (const ProfileList::Row &row : m_session.profiles().rows()) {
        if (row.number == active)
            name = row.name;
    }
    object->insert(QStringLiteral("profile"), active + 1);
    object->insert(QStringLiteral("profileName"), name);
    *lines << QStringLiteral("profile: %1 %2").arg(active + 1).arg(name);

    // As the window shows the stored values: a missing one is its default.
    const ProfileSettings profile = ProfileSettings::read(m_session.store(), false);
    const auto finish = [this, object, lines, json, done, isConnected,
                         profile](int stage, bool answered, bool fromState) {
        if (isConnected) {
            const int dpi = stage >= 1 && stage <= profile.dpi.stored.size()
                                ? profile.dpi.stored.at(stage - 1)
                                : 0;
            if (stage) {
                object->insert(QStringLiteral("dpiStage"), stage);
                object->insert(QStringLiteral("dpi"), dpi);
                *lines << QStringLiteral("dpi stage: %1 (%2 DPI)").arg(stage).arg(dpi);
            } else { // not said, or a stage the mouse cannot have
                object->insert(QStringLiteral("dpiStage"), QJsonValue::Null);
                object->insert(QStringLiteral("dpi"), QJsonValue::Null);
                *lines << QStringLiteral("dpi stage: unknown");
            }
            // A copy in the middle of a send answers from what it knows
            // rather than keep the question waiting behind it.
            object->insert(QStringLiteral("answeredFrom"),
                           fromState ? QStringLiteral("state") : QStringLiteral("mouse"));
            if (fromState)
                *lines << QStringLiteral("note: busy with a transfer to the mouse; the DPI stage "
                                         "is the last one known");
        }
        const int hertz = ProfileSettings::rateHertz(profile.reportRateRow);
        object->insert(QStringLiteral("reportRate"), hertz);
        *lines << QStringLiteral("report rate: %1 Hz").arg(hertz);

        CommandResult result;
        result.out =
            json ? QString::fromUtf8(QJsonDocument(*object).toJson(QJsonDocument::Compact)) +
                       QLatin1Char('\n')
                 : lines->join(QLatin1Char('\n')) + QLatin1Char('\n');
        if (!isConnected || !answered) {
            result.exitCode = CommandLine::failureExitCode;
            result.err = (!answered ? noAnswer() : deviceRefusal()) + QLatin1Char('\n');
        }
        done(result);
    };
    if (!isConnected)
        return finish(0, true, false);
    // A running copy in the middle of a send answers from what it knows at
    // once; a stage it does not know yet is asked of the mouse behind the
    // send. Run alone, the command comes right after the start-up's own
    // exchanges, and the mouse answers.
    if (m_kind == Kind::Running && m_session.isBusy() && m_session.dpiStage())
        return finish(m_session.dpiStage(), true, true);
    m_session.readDpiStage([finish](int stage, bool ok) { finish(stage, ok, false); });
}

CommandResult CommandRunner::profiles()
{
    const int active = m_session.activeProfile();
    CommandResult result;
    for (const ProfileList::Row &row : m_session.profiles().rows()) {
        result.out += QStringLiteral("%1 %2 %3\n")
                          .arg(row.number == active ? QLatin1Char('*') : QLatin1Char(' '))
                          .arg(row.number + 1)
                          .arg(row.name);
    }
    return result;
}

void CommandRunner::switchProfile(const QString &which, const Done &done)
{
    const int number = m_session.profiles().find(which);
    if (number < 0)
        return done(CommandResult::failure(noProfile(which)));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return done(CommandResult::failure(refusal));
    if (number == m_session.activeProfile())
        return done({});
    if (m_session.hasUnsavedEdits())
        return done(CommandResult::failure(
            QStringLiteral("the window has unsaved changes; save or discard them first")));
    m_session.switchProfile(number, [done](bool ok) {
        done(ok ? CommandResult() : CommandResult::failure(noAnswer()));
    });
}

void CommandRunner::dpiStage(const QString &stage, const Done &done)
{
    // The stages in use, as the window counts them from what is stored.
    const int count = ProfileSettings::read(m_session.store(), false).dpi.active;
    const int n = positiveNumber(stage);
    if (n < 1 || n > count)
        return done(CommandResult::failure(
            QStringLiteral("the DPI stage must be a number from 1 to %1").arg(count)));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return done(CommandResult::failure(refusal));
    m_session.setDpiStage(
        n, [done](bool ok) { done(ok ? CommandResult() : CommandResult::failure(noAnswer())); });
}

void CommandRunner::reportRate(const QString &hertz, const Done &done)
{
    int row = -1;
    for (int i = 0; i < int(std::size(rateHertzTexts)); ++i) {
        if (hertz == QLatin1String(rateHertzTexts[i]))
            row = i;
    }
    if (row < 0)
        return done(CommandResult::failure(
            QStringLiteral("the report rate must be 125, 250, 500 or 1000")));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return done(CommandResult::failure(refusal));
    m_session.setReportRate(
        row, [done](bool ok) { done(ok ? CommandResult() : CommandResult::failure(noAnswer())); });
}

CommandResult CommandRunner::exportProfile(const QString &which, const QString &file)
{
    const int number = m_session.profiles().find(which);
    if (number < 0)
        return CommandResult::failure(noProfile(which));
    SettingsStore &store = m_session.store();
    // Written there, a profile would replace a setting or another profile.
    if (isAmongProgramFiles(store.root(), file))
        return CommandResult::failure(
            QStringLiteral("%1 is among the program's own files; export elsewhere")
                .arg(CommandLine::quoted(file)));
    CommandFileDialogs dialogs(file);
    if (!ProfileStore(store).exportProfile(number, dialogs))
        return CommandResult::failure(m_session.refusalText(UserTexts::ExportFailed));
    const QByteArray written = contents(file);
    if (written.isEmpty() || written != contents(store.profile(number)->fileName()))
        return CommandResult::failure(
            QStringLiteral("could not write %1").arg(CommandLine::quoted(file)));
    return {};
}

void CommandRunner::importProfile(const QString &file, const QString &which, const Done &done)
{
    if (contents(file).isEmpty())
        return done(CommandResult::failure(
            QStringLiteral("could not read %1").arg(CommandLine::quoted(file))));
    SettingsStore &store = m_session.store();
    ProfileList list = m_session.profiles();
    const bool isNew = which.isEmpty();
    // A new profile, exactly as the profile manager's Import makes one.
    const int number = isNew ? list.add() : list.find(which);
    const QString notWritten =
        QStringLiteral("the data folder could not be written; the profile was not imported");
    if (number < 0 && isNew && list.rows().size() < ProfileList::maxProfiles)
        return done(CommandResult::failure(notWritten));
    if (number < 0)
        return done(CommandResult::failure(
            isNew ? QStringLiteral("no room for another profile; delete one or name the profile "
                                   "to replace")
                  : noProfile(which)));
    CommandFileDialogs dialogs(file);
    const ImportResult result = ProfileStore(store).importProfile(number, dialogs);
    if (isNew && result != ImportResult::Imported)
        list.remove(number);
    if (m_profileListChanged)
        m_profileListChanged();
    if (result == ImportResult::TooLarge)
        return done(CommandResult::failure(m_session.refusalText(UserTexts::FileTooLarge)));
    if (result == ImportResult::NotWritten)
        return done(CommandResult::failure(notWritten));
    if (result != ImportResult::Imported)
        return done(CommandResult::failure(m_session.refusalText(UserTexts::ImportFailed)));
    if (isNew) {
        CommandResult added;
        for (const ProfileList::Row &row : list.rows()) {
            if (row.number == number)
                added.out = QStringLiteral("%1 %2\n").arg(number + 1).arg(row.name);
        }
        return done(added);
    }
    // The active profile changed under the mouse: it gets the new settings,
    // as after a profile switch.
    if (number != m_session.activeProfile() || !m_session.isConnected())
        return done({});
    m_session.resendProfile(
        [done](bool ok) { done(ok ? CommandResult() : CommandResult::failure(noAnswer())); });
}
