#include "commandline.h"

#include <QCommandLineParser>
#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>

namespace {
struct SubcommandShape
{
    const char *name;
    int minArgs;
    int maxArgs;
    // Which arguments are files, made absolute where the user typed them:
    // the data folder becomes current later, and a running copy has its own.
    int fileArg1;
    int fileArg2;
};

constexpr SubcommandShape shapes[] = {
    {"status", 0, 0, -1, -1},        {"profiles", 0, 0, -1, -1},    {"profile", 1, 1, -1, -1},
    {"dpi-stage", 1, 1, -1, -1},     {"report-rate", 1, 1, -1, -1}, {"export-profile", 2, 2, 1, -1},
    {"import-profile", 1, 2, 0, -1},
};

const SubcommandShape *shapeOf(const QString &name)
{
    for (const SubcommandShape &shape : shapes) {
        if (name == QLatin1String(shape.name))
            return &shape;
    }
    return nullptr;
}

CommandLine usageError(const QString &reason)
{
    CommandLine line;
    line.mode = CommandLine::Mode::UsageError;
    line.error = reason;
    return line;
}

// Version 1 carried the same fields; only its copies did not tell a newer
// record from a damaged one.
constexpr quint32 oldestRequestVersion = 1;
} // namespace

CommandLine CommandLine::parse(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption hidden(QStringLiteral("hidden"), QString());
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption verbose(QStringLiteral("verbose"), QString());
    parser.addOptions({help, version, hidden, json, verbose});
    // Qt's own options (a session restore passes -session) reach the
    // application object untouched.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "session", "display", "style", "stylesheet"})
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringLiteral("reverse")));
    // A negative number is a value, not an option: the command refuses it
    // in its own words. It passes the parser behind a mark.
    const QChar valueMark(0x1);
    QStringList marked = args;
    for (qsizetype i = 1; i < marked.size(); ++i) {
        const QString &arg = marked.at(i);
        if (arg.size() > 1 && arg.at(0) == QLatin1Char('-') && arg.at(1).isDigit())
            marked[i] = valueMark + arg;
    }
    if (!parser.parse(marked))
        return usageError(parser.errorText());

    if (parser.isSet(help)) {
        CommandLine line;
        line.mode = Mode::Help;
        return line;
    }
    if (parser.isSet(version)) {
        CommandLine line;
        line.mode = Mode::Version;
        return line;
    }

    CommandLine line;
    line.verbose = parser.isSet(verbose);
    line.hidden = parser.isSet(hidden);
    line.json = parser.isSet(json);
    QStringList positional = parser.positionalArguments();
    for (QString &arg : positional) {
        if (arg.startsWith(valueMark))
            arg.remove(0, 1);
    }
    if (positional.isEmpty()) {
        if (line.json)
            return usageError(QStringLiteral("--json goes with the status command"));
        return line;
    }
    line.subcommand = positional.takeFirst();
    const SubcommandShape *shape = shapeOf(line.subcommand);
    if (!shape)
        return usageError(QStringLiteral("unknown command %1").arg(quoted(line.subcommand)));
    if (line.hidden)
        return usageError(QStringLiteral("--hidden starts the window; it takes no command"));
    if (line.json && line.subcommand != QLatin1String("status"))
        return usageError(QStringLiteral("--json goes with the status command"));
    if (positional.size() < shape->minArgs || positional.size() > shape->maxArgs)
        return usageError(
            QStringLiteral("wrong number of arguments for %1").arg(quoted(line.subcommand)));
    for (const int file : {shape->fileArg1, shape->fileArg2}) {
        if (file >= 0 && file < positional.size() && !positional.at(file).isEmpty())
            positional[file] = QFileInfo(positional.at(file)).absoluteFilePath();
    }
    line.mode = Mode::Subcommand;
    line.arguments = positional;
    return line;
}

QString CommandLine::version()
{
    return QStringLiteral(SKARN_VERSION);
}

QString CommandLine::desktopFileName()
{
    return QStringLiteral("org.example.SkarnConfig");
}

QString CommandLine::versionText()
{
    return QStringLiteral("skarn-config ") + version() + QLatin1Char('\n');
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: skarn-config [--hidden] [--verbose]\n"
        "       skarn-config COMMAND [ARGUMENTS] [--json]\n"
        "\n"
        "Configures the buttons, DPI stages, lighting, report rate, macros and\n"
        "profiles of a Skarn family mouse. Without a command it starts the\n"
        "configuration window in the system tray; only one copy runs at a time.\n"
        "\n"
        "Commands (carried out by the running copy when there is one, whose\n"
        "window follows; otherwise on their own, without a display):\n"
        "  status [--json]         the mouse (table row, vendor:product, family),\n"
        "                          its connection and access state, the active\n"
        "                          profile, the DPI stage and its value, the report\n"
        "                          rate\n"
        "  profiles                the profile list; '*' marks the active one\n"
        "  profile N|NAME          makes profile N (as 'profiles' numbers it) or the\n"
        "                          profile named NAME active: stored and sent to\n"
        "                          the mouse\n"
        "  dpi-stage N             makes DPI stage N (1 to the stage count) the\n"
        "                          mouse's current stage\n"
        "  report-rate HZ          125, 250, 500 or 1000; stored in the active\n"
        "                          profile and sent\n"
        "  export-profile N FILE   writes profile N to FILE (a .pf file)\n"
        "  import-profile FILE [N] reads FILE into profile N, or into a new profile\n"
        "                          as the profile manager's Import does\n"
        "\n"
        "Options:\n"
        "  -h, --help              shows this text and exits\n"
        "  -v, --version           shows the version and exits\n"
        "  --hidden                starts in the tray without showing the window\n"
        "  --json                  status as one JSON object\n"
        "  --verbose               writes the routine log lines as well\n"
        "\n"
        "Exit status:\n"
        "  0  success (a bare second start brings the running window back and\n"
        "     exits with 1)\n"
        "  1  the command failed; the reason is one line on stderr (no mouse,\n"
        "     access denied, bad argument, the mouse did not answer, a running\n"
        "     copy older than this command)\n"
        "  2  the command line was not understood\n"
        "\n"
        "Environment:\n"
        "  SKARN_VIRTUAL_MOUSE=553|560  use the built-in virtual mouse of that\n"
        "                               family instead of real devices\n"
        "\n"
        "Files:\n"
        "  " SKARN_MANUAL_PATH "\n"
        "                               the manual (the help menu's first row)\n"
        "  ~/.local/share/skarn-config/modules/  settings and profiles\n"
        "  ~/.config/autostart/org.example.SkarnConfig.desktop  start with the\n"
        "                               desktop (the system settings' check box)\n"
        "\n"
        "Examples:\n"
        "  skarn-config profile 2 && skarn-config dpi-stage 3\n"
        "  skarn-config status --json\n");
}

QByteArray CommandLine::encodeRequest() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << protocolVersion << subcommand << arguments << json;
    return bytes;
}

CommandLine CommandLine::decodeRequest(const QByteArray &bytes, Decoded *decoded)
{
    QDataStream in(bytes);
    quint32 version = 0;
    CommandLine line;
    in >> version;
    line.mode = Mode::Subcommand;
    // A newer record may hold what this copy cannot read: it is not read.
    if (in.status() == QDataStream::Ok && version > protocolVersion) {
        *decoded = Decoded::Newer;
        return line;
    }
    in >> line.subcommand >> line.arguments >> line.json;
    const SubcommandShape *shape = shapeOf(line.subcommand);
    const bool ok =
        in.status() == QDataStream::Ok && in.atEnd() && version >= oldestRequestVersion && shape &&
        line.arguments.size() >= shape->minArgs && line.arguments.size() <= shape->maxArgs;
    *decoded = ok ? Decoded::Ok : Decoded::Malformed;
    return line;
}

QString CommandLine::quoted(const QString &text)
{
    constexpr qsizetype longest = 80;
    QString line = text.left(longest);
    for (QChar &c : line) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return QLatin1Char('\'') + line +
           (text.size() > longest ? QStringLiteral("...'") : QStringLiteral("'"));
}

QString CommandLine::malformedText()
{
    return QStringLiteral("malformed command");
}

QString CommandLine::olderCopyText()
{
    return QStringLiteral("the running copy of skarn-config is older than this command; quit it "
                          "(tray menu, Quit) and start it again");
}

CommandResult CommandResult::failure(const QString &reason)
{
    return {CommandLine::failureExitCode, QString(), reason + QLatin1Char('\n')};
}

QByteArray CommandResult::encode() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << qint32(exitCode) << out << err;
    return bytes;
}

CommandResult CommandResult::decode(const QByteArray &bytes, bool *ok)
{
    QDataStream in(bytes);
    qint32 code = 0;
    CommandResult result;
    in >> code >> result.out >> result.err;
    *ok = in.status() == QDataStream::Ok && in.atEnd();
    result.exitCode = code;
    return result;
}
