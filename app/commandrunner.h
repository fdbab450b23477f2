#pragma once

#include "commandline.h"

#include <QPointer>
#include <functional>

class Session;
class myQQuickView;

// Carries out a command-line subcommand on a session: the running copy's,
// whose window follows at once, or one made only for the command. A command
// that needs the mouse waits behind what the session sends already; the
// answer comes back through `done`.
class CommandRunner
{
public:
    // `view` is the running copy's window, whose edits a switch must not
    // pass over; none for a session run alone, where the process ends with
    // the command.
    enum class Kind { Running, Alone };
    CommandRunner(Session &session, myQQuickView *view, Kind kind)
        : m_session(session), m_view(view), m_kind(kind)
    {}

    using Done = std::function<void(const CommandResult &)>;
    void run(const CommandLine &command, const Done &done);

private:
    void dispatch(const CommandLine &command, const Done &done);
    void status(bool json, const Done &done);
    CommandResult profiles();
    void switchProfile(const QString &which, const Done &done);
    void dpiStage(const QString &stage, const Done &done);
    void reportRate(const QString &hertz, const Done &done);
    CommandResult exportProfile(const QString &which, const QString &file);
    void importProfile(const QString &file, const QString &which, const Done &done);

    // Why a device command cannot run now, or empty.
    QString deviceRefusal() const;

    Session &m_session;
    QPointer<myQQuickView> m_view;
    Kind m_kind;
};
