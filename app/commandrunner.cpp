#include "commandrunner.h"

#include "devicedetector.h"
#include "filedialogs.h"
#include "filereplace.h"
#include "hid_thread.h"
#include "myqquickview.h"
#include "processstate.h"
#include "sceneprofiles.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "widget.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QSettings>
#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace {
// Answers the view's file dialog with the path given on the command line,
// once, and notes that it was asked.
class CommandFileDialogs : public FileDialogs
{
public:
    explicit CommandFileDialogs(const QString &path) : m_path(path) {}
    QString openFileName(const QString &) override { return take(); }
    QString saveFileName(const QString &) override { return take(); }
    bool asked() const { return m_asked; }

private:
    QString take()
    {
        m_asked = true;
        return std::exchange(m_path, QString());
    }
    QString m_path;
    bool m_asked = false;
};

// Puts the command's answer in place of the view's dialogs for one call.
template<typename Call> bool withFile(myQQuickView *view, const QString &path, Call call)
{
    auto dialogs = std::make_unique<CommandFileDialogs>(path);
    CommandFileDialogs *answer = dialogs.get();
    std::unique_ptr<FileDialogs> previous = view->setFileDialogs(std::move(dialogs));
    call();
    const bool asked = answer->asked();
    view->setFileDialogs(std::move(previous));
    return asked;
}

// Empty for anything but a file of data's size: a device or a pipe named on
// the command line would be read without end.
QByteArray contents(const QString &path)
{
    QFile file(path);
    return FileReplace::isReadableData(path) && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                               : QByteArray();
}

QString noAnswer()
{
    return QStringLiteral("the mouse did not answer");
}

// The report-rate list's rows, fastest last.
constexpr std::array<int, 4> rateHertz{125, 250, 500, 1000};

int positiveNumber(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n > 0 ? n : -1;
}
} // namespace

CommandResult CommandRunner::run(const CommandLine &command)
{
    if (m_window.isBusy())
        return CommandResult::failure(
            QStringLiteral("busy with a transfer to the mouse; try again in a moment"));
    ensureSceneStarted();
    // What the screens tell the user (a refusal, a change not saved or not
    // sent) is the command's failure, in the same words.
    // A pointer setting the desktop did not take (or there is no desktop,
    // as over ssh) leaves the mouse's change done: a warning, not a failure.
    QStringList notices;
    QStringList warnings;
    const QMetaObject::Connection listening =
        QObject::connect(m_window.view(), &myQQuickView::userNotice,
                         [&notices](const QString &text) { notices << text.simplified(); });
    const QMetaObject::Connection desktop =
        QObject::connect(m_window.view(), &myQQuickView::pointerSettingFailed,
                         [&warnings](const QString &text) { warnings << text.simplified(); });
    CommandResult result = dispatch(command);
    QObject::disconnect(listening);
    QObject::disconnect(desktop);
    for (const QString &warning : std::as_const(warnings))
        notices.removeOne(warning);
    // Run alone, the process ends with the command: a change kept for the
    // next write goes with it.
    if (m_kind == Window::Unshown) {
        const QString kept =
            myQQuickView::refusalText(
                myQQuickView::NotSaved,
                m_window.view()->store()->globalData(SettingKeys::commonLanguage).toString())
                .simplified();
        notices.replaceInStrings(
            kept, QStringLiteral("the data folder could not be written; the change is not kept"));
    }
    if (!notices.isEmpty())
        return CommandResult::failure(notices.join(QLatin1String("; ")));
    for (const QString &warning : std::as_const(warnings))
        result.err += QStringLiteral("warning: %1\n").arg(warning);
    return result;
}

CommandResult CommandRunner::dispatch(const CommandLine &command)
{
    const QString &name = command.subcommand;
    const QStringList &args = command.arguments;
    if (name == QLatin1String("status"))
        return status(command.json);
    if (name == QLatin1String("profiles"))
        return profiles();
    if (name == QLatin1String("profile"))
        return switchProfile(args.value(0));
    if (name == QLatin1String("dpi-stage"))
        return dpiStage(args.value(0));
    if (name == QLatin1String("report-rate"))
        return reportRate(args.value(0));
    if (name == QLatin1String("export-profile"))
        return exportProfile(args.value(0), args.value(1));
    if (name == QLatin1String("import-profile"))
        return importProfile(args.value(0), args.value(1));
    return CommandResult::failure(QStringLiteral("unknown command '%1'").arg(name));
}

void CommandRunner::ensureSceneStarted()
{
    QQuickItem *root = m_window.view()->rootObject();
    if (root && !SceneProfiles::started(root))
        QMetaObject::invokeMethod(root, "initUI");
}

QObject *CommandRunner::sceneItem(const char *objectName) const
{
    QQuickItem *root = m_window.view()->rootObject();
    return root ? root->findChild<QObject *>(QLatin1String(objectName)) : nullptr;
}

QVariant CommandRunner::sceneProperty(const char *name) const
{
    QQuickItem *root = m_window.view()->rootObject();
    return root ? root->property(name) : QVariant();
}

QList<SceneProfiles::Row> CommandRunner::profileRows() const
{
    return SceneProfiles::rows(m_window.view()->rootObject());
}

int CommandRunner::activeProfile() const
{
    return SceneProfiles::active(m_window.view()->rootObject());
}

int CommandRunner::findProfile(const QString &which) const
{
    const QList<SceneProfiles::Row> rows = profileRows();
    const int number = positiveNumber(which);
    for (const SceneProfiles::Row &row : rows) {
        if (row.number + 1 == number)
            return row.number;
    }
    for (const SceneProfiles::Row &row : rows) {
        if (row.name == which)
            return row.number;
    }
    return -1;
}

bool CommandRunner::connected() const
{
    return processState.deviceConnected && m_window.deviceLink().isListening();
}

QString CommandRunner::deviceRefusal() const
{
    if (connected())
        return QString();
    if (m_window.detector()->accessDenied())
        return QStringLiteral("access to the mouse was denied (install the udev rule "
                              "70-skarn-config.rules, then plug the mouse in again)");
    return QStringLiteral("no mouse connected");
}

CommandResult CommandRunner::status(bool json)
{
    myQQuickView *view = m_window.view();
    const bool isConnected = connected();
    const QString access =
        m_window.detector()->accessDenied() ? QStringLiteral("denied") : QStringLiteral("granted");
    QJsonObject object{{QStringLiteral("connected"), isConnected},
                       {QStringLiteral("access"), access},
                       {QStringLiteral("family"), view->store()->deviceFlags().icType}};
    QStringList lines;
    if (isConnected) {
        const Hid_Thread &link = m_window.deviceLink();
        const DeviceEntry entry = link.deviceTable().value(link.currentIndex());
        const auto hex4 = [](int id) {
            return QStringLiteral("%1").arg(id, 4, 16, QChar('0'));
        };
        object.insert(QStringLiteral("row"), link.currentIndex());
        object.insert(QStringLiteral("vendorId"), hex4(entry.vid));
        object.insert(QStringLiteral("productId"), hex4(entry.pid));
        lines << QStringLiteral("mouse: row %1, %2:%3, family %4")
                     .arg(link.currentIndex())
                     .arg(hex4(entry.vid), hex4(entry.pid), view->store()->deviceFlags().icType);
        lines << QStringLiteral("connection: connected");
    } else {
        lines << QStringLiteral("mouse: none");
        lines << QStringLiteral("connection: not connected");
    }
    lines << QStringLiteral("access: ") + access;

    const int active = activeProfile();
    QString name;
    for (const SceneProfiles::Row &row : profileRows()) {
        if (row.number == active)
            name = row.name;
    }
    object.insert(QStringLiteral("profile"), active + 1);
    object.insert(QStringLiteral("profileName"), name);
    lines << QStringLiteral("profile: %1 %2").arg(active + 1).arg(name);

    bool unanswered = false;
    if (isConnected) {
        const int failures = view->deviceFailureCount();
        const int stage = view->mouseGetCurrentDPI().toInt();
        unanswered = view->deviceFailureCount() != failures;
        // As the window shows the stored values: a missing one is its default.
        QVariant stored;
        if (QObject *panel = sceneItem("dpiSettingMain"))
            QMetaObject::invokeMethod(panel, "storedValues", Q_RETURN_ARG(QVariant, stored),
                                      Q_ARG(bool, false));
        const QVariantList values = stored.toList();
        const int dpi = stage >= 1 && stage <= values.size() ? values.at(stage - 1).toInt() : 0;
        if (stage) {
            object.insert(QStringLiteral("dpiStage"), stage);
            object.insert(QStringLiteral("dpi"), dpi);
            lines << QStringLiteral("dpi stage: %1 (%2 DPI)").arg(stage).arg(dpi);
        } else { // not said, or a stage the mouse cannot have
            object.insert(QStringLiteral("dpiStage"), QJsonValue::Null);
            object.insert(QStringLiteral("dpi"), QJsonValue::Null);
            lines << QStringLiteral("dpi stage: unknown");
        }
    }
    // A missing or unreadable rate is shown as the window shows it.
    bool isNumber = false;
    const int row = view->getData(SettingKeys::mouseReportRate, false).toInt(&isNumber);
    const int hertz =
        isNumber && row >= 0 && row < int(rateHertz.size()) ? rateHertz[row] : rateHertz.back();
    object.insert(QStringLiteral("reportRate"), hertz);
    lines << QStringLiteral("report rate: %1 Hz").arg(hertz);

    CommandResult result;
    result.out = json ? QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                            QLatin1Char('\n')
                      : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (!isConnected || unanswered) {
        result.exitCode = CommandLine::failureExitCode;
        result.err = (unanswered ? noAnswer() : deviceRefusal()) + QLatin1Char('\n');
    }
    return result;
}

CommandResult CommandRunner::profiles()
{
    const int active = activeProfile();
    CommandResult result;
    for (const SceneProfiles::Row &row : profileRows()) {
        result.out += QStringLiteral("%1 %2 %3\n")
                          .arg(row.number == active ? QLatin1Char('*') : QLatin1Char(' '))
                          .arg(row.number + 1)
                          .arg(row.name);
    }
    return result;
}

CommandResult CommandRunner::switchProfile(const QString &which)
{
    const int number = findProfile(which);
    if (number < 0)
        return CommandResult::failure(QStringLiteral("no profile '%1'").arg(which));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return CommandResult::failure(refusal);
    if (number == activeProfile())
        return {};
    // Unshown, the window's only unsaved state is what an earlier run's mouse
    // did not take, which the switch's full send replaces.
    if (m_kind == Window::Running && sceneProperty("hasUnsavedChanges").toBool())
        return CommandResult::failure(
            QStringLiteral("the window has unsaved changes; save or discard them first"));
    QMetaObject::invokeMethod(m_window.view()->rootObject(), "changeProfile", Q_ARG(int, number));
    if (!connected())
        return CommandResult::failure(noAnswer());
    return {};
}

CommandResult CommandRunner::dpiStage(const QString &stage)
{
    myQQuickView *view = m_window.view();
    const QVariant stored = view->getData(SettingKeys::mouseCurrentDpiCount, false);
    const int count = stored.isValid() ? stored.toInt() : 4;
    const int n = positiveNumber(stage);
    if (n < 1 || n > count)
        return CommandResult::failure(
            QStringLiteral("the DPI stage must be a number from 1 to %1").arg(count));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return CommandResult::failure(refusal);
    const int failures = view->deviceFailureCount();
    view->mouseSetCurrentDPI(uchar(n));
    // A stage the mouse did not take is not shown as its stage.
    if (!connected() || view->deviceFailureCount() != failures)
        return CommandResult::failure(noAnswer());
    QMetaObject::invokeMethod(view->rootObject(), "setCurrentDPI", Q_ARG(int, n));
    return {};
}

CommandResult CommandRunner::reportRate(const QString &hertz)
{
    int row = -1;
    for (int i = 0; i < 4; ++i) {
        if (hertz == QString::number(rateHertz[i]))
            row = i;
    }
    if (row < 0)
        return CommandResult::failure(
            QStringLiteral("the report rate must be 125, 250, 500 or 1000"));
    const QString refusal = deviceRefusal();
    if (!refusal.isEmpty())
        return CommandResult::failure(refusal);
    QObject *selector = sceneItem("reportRateMain");
    if (!selector || !QMetaObject::invokeMethod(selector, "choose", Q_ARG(int, row)))
        return CommandResult::failure(QStringLiteral("the report-rate list is missing"));
    if (!connected())
        return CommandResult::failure(noAnswer());
    return {};
}

CommandResult CommandRunner::exportProfile(const QString &which, const QString &file)
{
    const int number = findProfile(which);
    if (number < 0)
        return CommandResult::failure(QStringLiteral("no profile '%1'").arg(which));
    myQQuickView *view = m_window.view();
    withFile(view, file, [&] { view->saveProfile(number); });
    const QSettings *profile = view->store()->profile(number);
    const QByteArray written = contents(file);
    if (written.isEmpty() || written != contents(profile->fileName()))
        return CommandResult::failure(QStringLiteral("could not write '%1'").arg(file));
    return {};
}

CommandResult CommandRunner::importProfile(const QString &file, const QString &which)
{
    if (contents(file).isEmpty())
        return CommandResult::failure(QStringLiteral("could not read '%1'").arg(file));
    myQQuickView *view = m_window.view();
    if (which.isEmpty()) {
        // A new profile, exactly as the profile manager's Import makes one.
        const QList<SceneProfiles::Row> before = profileRows();
        QObject *manager = sceneItem("profiles");
        const bool asked = manager && withFile(view, file, [&] {
                               QMetaObject::invokeMethod(manager, "importProfile");
                           });
        if (!asked)
            return CommandResult::failure(
                QStringLiteral("no room for another profile; delete one or name the profile "
                               "to replace"));
        for (const SceneProfiles::Row &row : profileRows()) {
            const bool isNew =
                std::none_of(before.begin(), before.end(),
                             [&](const SceneProfiles::Row &r) { return r.number == row.number; });
            if (isNew &&
                contents(view->store()->profile(row.number)->fileName()) == contents(file)) {
                CommandResult result;
                result.out = QStringLiteral("%1 %2\n").arg(row.number + 1).arg(row.name);
                return result;
            }
        }
        return CommandResult::failure(QStringLiteral("could not import '%1'").arg(file));
    }

    const int number = findProfile(which);
    if (number < 0)
        return CommandResult::failure(QStringLiteral("no profile '%1'").arg(which));
    bool imported = false;
    withFile(view, file, [&] { imported = view->loadProfile(number); });
    if (!imported)
        return CommandResult::failure(QStringLiteral("could not import '%1'").arg(file));
    // The active profile changed under the mouse: it gets the new settings,
    // as after a profile switch.
    if (number == activeProfile() && connected()) {
        QQuickItem *root = view->rootObject();
        QMetaObject::invokeMethod(root, "controlUIEnable", Q_ARG(bool, false));
        QMetaObject::invokeMethod(root, "reloadAndSend");
        QMetaObject::invokeMethod(root, "controlUIEnable", Q_ARG(bool, true));
        if (!connected())
            return CommandResult::failure(noAnswer());
    }
    return {};
}
