#pragma once

#include "commandline.h"
#include "sceneprofiles.h"

#include <QVariant>

class QObject;
class Widget;

// Carries out a command-line subcommand in a program: the running copy's,
// or one started only for the command. Every command goes the way the
// screens go (the same scene functions, store and device operations), so
// the window, when shown, follows at once.
class CommandRunner
{
public:
    // `window` is the running copy's, or one started for this command and
    // never shown (`Unshown`): no user can have edits pending in it.
    enum class Window { Running, Unshown };
    explicit CommandRunner(Widget &window, Window kind = Window::Running)
        : m_window(window), m_kind(kind)
    {}

    CommandResult run(const CommandLine &command);

private:
    CommandResult dispatch(const CommandLine &command);
    CommandResult status(bool json);
    CommandResult profiles();
    CommandResult switchProfile(const QString &which);
    CommandResult dpiStage(const QString &stage);
    CommandResult reportRate(const QString &hertz);
    CommandResult exportProfile(const QString &which, const QString &file);
    CommandResult importProfile(const QString &file, const QString &which);

    // The scene's start-up has run (it also runs here without a mouse, so
    // the profile list exists).
    void ensureSceneStarted();
    QObject *sceneItem(const char *objectName) const;
    QVariant sceneProperty(const char *name) const;
    QList<SceneProfiles::Row> profileRows() const;
    int activeProfile() const;
    // The row that `which` names: its number as `profiles` shows it, or
    // its name; -1 for none.
    int findProfile(const QString &which) const;
    bool connected() const;
    // Why a device command cannot run now, or empty.
    QString deviceRefusal() const;

    Widget &m_window;
    Window m_kind;
};
