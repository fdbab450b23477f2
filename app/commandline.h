#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Parsed before any application object
// exists, so --help, --version and usage errors need no display.
struct CommandLine
{
    enum class Mode { Gui, Help, Version, UsageError, Subcommand };
    // Exit codes: a subcommand's failure is 1 (its reason on stderr); a
    // command line that cannot be understood is 2.
    static constexpr int failureExitCode = 1;
    static constexpr int usageExitCode = 2;

    Mode mode = Mode::Gui;
    // Start in the tray without showing the window (autostart).
    bool hidden = false;
    bool json = false;
    bool verbose = false;
    QString subcommand;
    QStringList arguments;
    // For UsageError: the one-line reason.
    QString error;

    // `args` as main() receives them, the program name first.
    static CommandLine parse(const QStringList &args);

    static QString helpText();
    static QString versionText();
    // The program's version, as --version, the help menu and the AppStream
    // data give it.
    static QString version();
    // Links windows to the desktop entry (Wayland app id, docks).
    static QString desktopFileName();

    // A subcommand as it travels to a running copy, and back. The record
    // carries the protocol's version: a copy meets a newer one with
    // Newer, and an older copy answered "malformed command" before
    // versions were told apart.
    enum class Decoded { Ok, Malformed, Newer };
    static constexpr quint32 protocolVersion = 2;
    QByteArray encodeRequest() const;
    static CommandLine decodeRequest(const QByteArray &bytes, Decoded *decoded);
    // What a copy answers a request it cannot take, and what the command
    // line makes of an older copy's answer to one.
    static QString malformedText();
    // A name or path from the command line as a message repeats it: quoted,
    // on one line (control characters as '?'), cut where it would fill the
    // terminal.
    static QString quoted(const QString &text);
    static QString olderCopyText();
};

// What a subcommand answers: its exit code and its output streams.
struct CommandResult
{
    int exitCode = 0;
    QString out;
    QString err;

    static CommandResult failure(const QString &reason);
    QByteArray encode() const;
    static CommandResult decode(const QByteArray &bytes, bool *ok);
};
