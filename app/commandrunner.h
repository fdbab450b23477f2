#pragma once

#include "commandline.h"

#include <functional>
#include <utility>

class Session;

// Carries out a command-line subcommand on a session: the running copy's,
// whose window follows at once, or one made only for the command. A command
// that needs the mouse waits behind what the session sends already; the
// answer comes back through `done`.
class CommandRunner
{
public:
    // Running: the running copy's session, whose window shows what a
    // command changes (`profileListChanged` when an import adds a profile);
    // Alone: a session made for the command, ending with it.
    enum class Kind { Running, Alone };
    CommandRunner(Session &session, Kind kind, std::function<void()> profileListChanged = {})
        : m_session(session), m_kind(kind), m_profileListChanged(std::move(profileListChanged))
    {}

    using Done = std::function<void(const CommandResult &)>;
    void run(const CommandLine &command, const Done &done);

    // Commands that would store a change are refused with `reason`: the
    // data folder is a temporary copy that goes with the process.
    void refuseChanges(const QString &reason) { m_changesRefused = reason; }

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
    Kind m_kind;
    std::function<void()> m_profileListChanged;
    QString m_changesRefused;
};
