// End to end: the real skarn-config from a temporary portable folder, under
// its own Xvfb with trayer as the tray host and the virtual mouse of family
// 553. It is driven with xdotool at the positions the main scene's layout
// gives its controls, and checked through the virtual mouse's record, the
// X server's pointer settings and the profile files.
//
// The slots run in order, each a step of one session; new steps go before
// quitThroughTheTrayMenu.
#include "testdatafolder.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <xcb/xcb.h>

namespace {
// Positions in the 1024 x 640 window, from the main scene's layout.
namespace Layout {
// Title-bar menu at 920,16: help, minimise, close, 20 px each, 16 apart.
constexpr QPoint helpButton(930, 26);
constexpr QPoint closeButton(1002, 26);
// The help menu, 200 wide at 724,30, rows of 24.
constexpr QPoint helpMenu(824, 42);
// Left panel at 24,88, spacing 8: the key table (a 36 px head, one row of
// 26 per button of the 8, 4 below), the editor box (232 x 100 with guns),
// the report-rate box (232 x 42, its 120-wide list 8 from the right, 24
// high, centred), the system-settings button (232 x 24).
constexpr int keyTableTop = 88;
constexpr int keyRowPitch = 26;
constexpr int keyTableHeight = 36 + 8 * keyRowPitch + 4;
constexpr int editorBoxTop = keyTableTop + keyTableHeight + 8;
// Its macro and gun rows: 216 x 24 at 8,40, then a 1 px line, 2 apart.
constexpr QPoint macroEditorRow(24 + 116, editorBoxTop + 40 + 12);
constexpr QPoint gunEditorRow(24 + 116, editorBoxTop + 69 + 12);
constexpr int reportRateTop = editorBoxTop + 100 + 8;
constexpr QPoint reportRateBox(24 + 232 - 8 - 60, reportRateTop + 21);
// Rows of 24 open below the box.
constexpr QPoint reportRateRow(int row)
{
    return {reportRateBox.x(), reportRateTop + 9 + 24 + 24 * row + 12};
}
constexpr QPoint systemSettingButton(24 + 116, reportRateTop + 42 + 8 + 12);
// Right panel at 768,56: the DPI panel; its stage sliders start at 8,44,
// one column of 216 / 4 per active stage, each track 176 high with the
// knob travel measured from the bottom.
constexpr QPoint dpiStageTrack(int stage, int fromBottom)
{
    return {768 + 8 + 27 + 54 * stage, 56 + 44 + 176 - fromBottom};
}
// Bottom bar, 24 from the right and 8 from the bottom: Config, Reset,
// Save, 64 x 24 each, 16 apart.
constexpr QPoint saveButton(1024 - 24 - 32, 640 - 8 - 12);
constexpr QPoint configButton(saveButton.x() - 2 * 80, saveButton.y());
constexpr QPoint resetButton(saveButton.x() - 80, saveButton.y());
// The reset question, 427 x 102, centred: Cancel left of OK (88 x 25, 7
// apart, 12 from the right) under its line of text.
constexpr QPoint resetCancel((1024 - 427) / 2 + 427 - 12 - 88 - 7 - 44, (640 - 102) / 2 + 79);
// The macro and gun editors, 640 x 448, centred: the close mark at the
// right of the 30 px title.
constexpr QPoint editorClose((1024 - 640) / 2 + 622, (640 - 448) / 2 + 15);
// A point on the Save button's face, clear of its text.
constexpr QPoint saveFace(saveButton.x() - 26, saveButton.y());
// The profile manager, 300 x 280, centred: its list from 16,46 with rows
// of 27 (a 1 px frame), its context menu at the pointer with rows of 24
// (a 1 px frame), its Import button right of the centre at 240.
constexpr QPoint profilesOrigin((1024 - 300) / 2, (640 - 280) / 2);
constexpr QPoint profileManagerRow(int row)
{
    return {profilesOrigin.x() + 16 + 60, profilesOrigin.y() + 47 + 27 * row + 13};
}
constexpr QPoint profileMenuEntry(const QPoint &at, int entry)
{
    return {at.x() + 51, at.y() + 1 + 24 * entry + 12};
}
constexpr QPoint profileImport(profilesOrigin.x() + 150 + 8 + 48, profilesOrigin.y() + 252);
constexpr QPoint profilesClose(profilesOrigin.x() + 300 - 10 - 8, profilesOrigin.y() + 15);
// The system settings dialog, 416 x 312, centred: its pointer-speed track
// (352 wide) at 32 from the left, under the caption; the close mark at
// the right of its 30 px title.
constexpr QPoint dialogOrigin((1024 - 416) / 2, (640 - 312) / 2);
constexpr QPoint pointerSpeedTrack(int x)
{
    return {dialogOrigin.x() + 32 + x, dialogOrigin.y() + 76};
}
constexpr QPoint dialogClose(dialogOrigin.x() + 398, dialogOrigin.y() + 15);
// Key table rows: 8 in, 36 down, one per button.
constexpr QPoint keyRow(int key)
{
    return {24 + 116, keyTableTop + 36 + keyRowPitch * key + 12};
}
// The button assignment dialog, 520 x 560, centred: the "Mouse Function"
// radios in three columns of 160 from 20,72 (rows of 24), the close mark
// at the right of its 30 px title.
constexpr QPoint assignOrigin((1024 - 520) / 2, (640 - 560) / 2);
constexpr QPoint mouseFunction(int column, int row)
{
    return {assignOrigin.x() + 25 + 160 * column, assignOrigin.y() + 77 + 24 * row};
}
constexpr QPoint assignClose(assignOrigin.x() + 502, assignOrigin.y() + 15);
// Its fire-key field: 120 x 24 after the "Key Value" label, 28 into the
// fire section at 100 under the title.
constexpr QPoint fireKeyBox(int labelWidth)
{
    return {assignOrigin.x() + 20 + labelWidth + 10 + 60, assignOrigin.y() + 30 + 100 + 28 + 12};
}
// The lighting panel under the DPI panel (252 + 8): its effect list, 132
// wide, 12 left of the 16 px reset mark at the right, 4 from the top; rows
// of 24 below it.
constexpr int lightTop = 56 + 252 + 8;
constexpr QPoint effectList(768 + 232 - 8 - 16 - 12 - 66, lightTop + 16);
constexpr QPoint effectRow(int row)
{
    return {effectList.x(), lightTop + 4 + 24 + 24 * row + 12};
}
// The profile list in the title bar: 144 x 24, 16 left of the menu's
// buttons; its rows of 24 open below it.
constexpr QPoint profileList(920 - 16 - 72, 26);
constexpr QPoint profileRow(int row)
{
    return {profileList.x(), 14 + 24 + 24 * row + 12};
}
} // namespace Layout

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void connectsAndShowsDetectDevice();
    void windowComesBackThroughASecondCopy();
    void reportRate();
    void dpiStageAndSave();
    void systemSettings();
    void lightingEffectAndSave();
    void buttonAssignmentAndSave();
    void interruptedSaveIsReported();
    void profileSwitcher();
    void profileExportAndImportThroughTheDialogs();
    void keysReachTheProgramOnlyDuringACapture();
    void trayClickAndTrayProfileMenu();
    void remainingDialogsOpenAndClose();
    void noMouseStateOnActivation();
    void quitThroughTheTrayMenu();

private:
    QProcessEnvironment environment() const;
    std::unique_ptr<QProcess> startProgram() const;
    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr) const;
    // Visible top-level windows of the program: id and geometry.
    QList<QPair<QString, QRect>> programWindows() const;
    QRect mainWindow() const;
    // The tray icon trayer shows, and the menu it opened (a new small
    // window of the program); empty when there is none.
    QRect trayIcon() const;
    QRect trayMenu(const QRect &icon) const;
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 10000) const;
    void click(const QPoint &inWindow, int button = 1);
    QImage screenshot(const QString &name);
    // Waits for the file dialog titled `title`, checks by its pixels that
    // its texts can be read, and answers it with `fileName`.
    void answerFileDialog(const QString &title, const QString &fileName);
    // From outside the process: the virtual mouse falls silent after
    // `after` more reports ("silent 0"), or answers again ("none").
    void setMouseFault(const QByteArray &fault);
    // Record lines ("feature|output <hex>") after the first `from`.
    QStringList recordSince(int from) const;
    int recordSize() const { return recordSince(0).size(); }
    // Waits until the record holds `expected` after `from`, and a moment
    // longer to see that nothing else follows.
    void expectReports(int from, const QStringList &expected);
    QString waitForOutput(const QByteArray &text, int timeoutMs = 15000);

    QProcess m_server;
    QProcess m_tray;
    std::unique_ptr<QProcess> m_program;
    QByteArray m_output;
    QString m_display;
    QTemporaryDir m_install;
    QTemporaryDir m_home;
    QRect m_window;
    int m_shot = 0;
};

QProcessEnvironment tst_EndToEnd::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("HOME", m_home.path());
    env.insert("XDG_RUNTIME_DIR", m_home.path());
    // No session bus: the icon goes to the X tray host, not to a
    // StatusNotifier watcher that is not there.
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    // A bare X desktop: without the GNOME mouse schema in sight the pointer
    // speed goes to the X server, where the test can read it back.
    env.insert("XDG_DATA_DIRS", m_home.filePath("share"));
    env.insert("GSETTINGS_BACKEND", "memory");
    env.insert("SKARN_VIRTUAL_MOUSE", "553");
    env.insert("SKARN_VIRTUAL_MOUSE_RECORD", m_install.filePath("mouse.log"));
    return env;
}

std::unique_ptr<QProcess> tst_EndToEnd::startProgram() const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(m_home.path());
    // The tray and key capture lines are routine ones.
    process->start(m_install.filePath("skarn-config"), {"--verbose"});
    return process;
}

bool tst_EndToEnd::xdotool(const QStringList &arguments, QByteArray *output) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start("xdotool", arguments);
    const bool ok = process.waitForFinished(10000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return ok;
}

QList<QPair<QString, QRect>> tst_EndToEnd::programWindows() const
{
    QList<QPair<QString, QRect>> windows;
    QByteArray ids;
    xdotool({"search", "--onlyvisible", "--class", "^skarn-config$"}, &ids);
    for (const QByteArray &id : ids.split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        QByteArray shell;
        if (!xdotool({"getwindowgeometry", "--shell", QString::fromLatin1(id.trimmed())}, &shell))
            continue;
        QMap<QByteArray, int> values;
        for (const QByteArray &line : shell.split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                values.insert(line.left(eq), line.mid(eq + 1).toInt());
        }
        windows.append({QString::fromLatin1(id.trimmed()),
                        QRect(values.value("X"), values.value("Y"), values.value("WIDTH"),
                              values.value("HEIGHT"))});
    }
    return windows;
}

QRect tst_EndToEnd::mainWindow() const
{
    for (const auto &window : programWindows()) {
        if (window.second.size() == QSize(1024, 640))
            return window.second;
    }
    return {};
}

QRect tst_EndToEnd::trayIcon() const
{
    for (const auto &window : programWindows()) {
        if (window.second.width() <= 32 && window.second.y() < 24)
            return window.second;
    }
    return {};
}

QRect tst_EndToEnd::trayMenu(const QRect &icon) const
{
    QRect menu;
    waitFor([&] {
        for (const auto &window : programWindows()) {
            if (window.second != icon && window.second.height() < 400 &&
                window.second.width() > 40 && window.second.width() < 300)
                menu = window.second;
        }
        return menu.isValid();
    });
    return menu;
}

bool tst_EndToEnd::waitFor(const std::function<bool()> &condition, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

void tst_EndToEnd::click(const QPoint &inWindow, int button)
{
    const QPoint at = m_window.topLeft() + inWindow;
    QVERIFY(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())}));
    QTest::qWait(100);
    QVERIFY(xdotool({"click", QString::number(button)}));
}

QImage tst_EndToEnd::screenshot(const QString &name)
{
    xcb_connection_t *connection = xcb_connect(qPrintable(m_display), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        qWarning("no connection for the screenshot");
        return {};
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const int w = screen->width_in_pixels;
    const int h = screen->height_in_pixels;
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, w, h, ~0u),
        nullptr);
    QImage image;
    if (reply && xcb_get_image_data_length(reply) >= w * h * 4)
        image = QImage(xcb_get_image_data(reply), w, h, w * 4, QImage::Format_RGB32).copy();
    free(reply);
    xcb_disconnect(connection);
    QDir().mkpath(SKARN_E2E_ARTEFACTS);
    const QString file = QStringLiteral(SKARN_E2E_ARTEFACTS "/%1-%2.png")
                             .arg(++m_shot, 2, 10, QLatin1Char('0'))
                             .arg(name);
    if (image.isNull() || !image.save(file))
        qWarning() << "screenshot not saved:" << file;
    return image;
}

namespace {
// How the typed text shows in a dialog: the pixels that typing changed
// clearly, their mean brightness, and the brightness of the dialog's face
// (its most common one), on which its labels are drawn in the same colour.
struct TypedText
{
    int changed = 0;
    int brightness = 0;
    int face = 0;
};

TypedText typedText(const QImage &before, const QImage &after)
{
    TypedText text;
    QList<int> histogram(256, 0);
    qint64 sum = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const int level = qGray(after.pixel(x, y));
            ++histogram[level];
            if (qAbs(level - qGray(before.pixel(x, y))) > 85) {
                ++text.changed;
                sum += level;
            }
        }
    }
    text.face = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    text.brightness = text.changed ? int(sum / text.changed) : text.face;
    return text;
}
} // namespace

void tst_EndToEnd::answerFileDialog(const QString &title, const QString &fileName)
{
    QRect dialog;
    QString id;
    QVERIFY2(waitFor([&] {
                 QByteArray ids;
                 xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}, &ids);
                 id = QString::fromLatin1(ids.split('\n').value(0).trimmed());
                 for (const auto &window : programWindows()) {
                     if (window.first == id)
                         dialog = window.second;
                 }
                 return dialog.isValid();
             }),
             qPrintable(title + " did not open"));
    QTest::qWait(800);
    QVERIFY(xdotool({"windowfocus", "--sync", id}));
    const QImage before = screenshot(title.toLower().replace(' ', '-'));
    QVERIFY(xdotool({"type", "--delay", "20", fileName}));
    QTest::qWait(500);
    const QImage after = screenshot(title.toLower().replace(' ', '-') + "-typed");
    // The typed name stands out from its field, and the labels (in the
    // same colour) from the dialog's face: not black on black.
    const TypedText text = typedText(before.copy(dialog), after.copy(dialog));
    QVERIFY2(text.changed >= 60 && qAbs(text.face - text.brightness) > 85,
             qPrintable(QStringLiteral("%1: %2 pixels of text, brightness %3 on a face of %4")
                            .arg(title)
                            .arg(text.changed)
                            .arg(text.brightness)
                            .arg(text.face)));
    QVERIFY(xdotool({"key", "Return"}));
    QVERIFY2(waitFor([&] {
                 for (const auto &window : programWindows()) {
                     if (window.first == id)
                         return false;
                 }
                 return true;
             }),
             qPrintable(title + " did not close"));
}

void tst_EndToEnd::setMouseFault(const QByteArray &fault)
{
    // Whole at once: the program takes the file as soon as it appears.
    QSaveFile file(m_install.filePath("mouse.log.fault"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(fault);
    QVERIFY(file.commit());
}

QStringList tst_EndToEnd::recordSince(int from) const
{
    QFile file(m_install.filePath("mouse.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int space = line.indexOf(' ');
        if (space > 0)
            lines << QString::fromLatin1(line.mid(space + 1));
    }
    return lines.mid(from);
}

void tst_EndToEnd::expectReports(int from, const QStringList &expected)
{
    waitFor([&] { return recordSince(from).size() >= expected.size(); }, 10000);
    QTest::qWait(800);
    const QStringList actual = recordSince(from);
    if (actual != expected)
        qWarning().noquote() << "Reports received:\n" + actual.join('\n');
    QCOMPARE(actual, expected);
}

QString tst_EndToEnd::waitForOutput(const QByteArray &text, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_output.contains(text) && timer.elapsed() < timeoutMs &&
           m_program->state() != QProcess::NotRunning) {
        m_program->waitForReadyRead(100);
        m_output += m_program->readAll();
    }
    m_output += m_program->readAll();
    return QString::fromUtf8(m_output);
}

void tst_EndToEnd::initTestCase()
{
    for (const char *tool : {"Xvfb", "trayer", "xdotool"})
        QVERIFY2(
            !QStandardPaths::findExecutable(tool).isEmpty(),
            qPrintable(
                QStringLiteral("%1 is missing (scripts/install-deps.sh installs it)").arg(tool)));
    QDir(SKARN_E2E_ARTEFACTS).removeRecursively();

    // A portable folder: the program writes its settings there.
    QVERIFY(QFile::copy(SKARN_EXECUTABLE, m_install.filePath("skarn-config")));
    QFile::setPermissions(m_install.filePath("skarn-config"),
                          QFile::permissions(m_install.filePath("skarn-config")) |
                              QFileDevice::ExeOwner);
    TestDataFolder::copyTree(TestDataFolder::factoryModules(), m_install.filePath("modules"));
    {
        // A second profile for the switcher (names end in their number).
        QSettings names(m_install.filePath("modules/setting/name.bin"), QSettings::IniFormat);
        names.setValue("profile/profileName", QStringList{"Standard0", "Gaming1"});
    }

    m_server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x800x24"});
    QVERIFY(m_server.waitForStarted(5000));
    while (!m_server.canReadLine())
        QVERIFY2(m_server.waitForReadyRead(10000), "Xvfb did not report its display");
    m_display = ":" + QString::fromLatin1(m_server.readLine().trimmed());

    // The tray host; started again should it fail to take the tray.
    bool trayUp = false;
    QByteArray trayOutput;
    for (int attempt = 0; attempt < 2 && !trayUp; ++attempt) {
        if (m_tray.state() != QProcess::NotRunning) {
            m_tray.kill();
            m_tray.waitForFinished(2000);
        }
        m_tray.setProcessEnvironment(environment());
        m_tray.setProcessChannelMode(QProcess::MergedChannels);
        m_tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                                "--height", "24", "--SetDockType", "true"});
        QVERIFY(m_tray.waitForStarted(5000));
        trayUp = waitFor([this] { return xdotool({"search", "--name", "^panel$"}); }, 15000);
        trayOutput += m_tray.readAll();
    }
    QVERIFY2(trayUp, ("trayer did not come up: " + trayOutput).constData());

    m_program = startProgram();
    QVERIFY(m_program->waitForStarted(5000));
}

void tst_EndToEnd::cleanupTestCase()
{
    for (QProcess *process : {m_program.get(), &m_tray, &m_server}) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(2000);
        }
    }
}

void tst_EndToEnd::connectsAndShowsDetectDevice()
{
    const QString output = waitForOutput("Tray message: Info - Detect Device");
    QVERIFY2(output.contains("Tray message: Info - Detect Device"), qPrintable(output));
    QVERIFY(waitFor([this] { return mainWindow().isValid(); }));
    m_window = mainWindow();
    // The tray host took the icon: a small window of the program in its
    // corner.
    bool iconDocked = false;
    for (const auto &window : programWindows())
        iconDocked = iconDocked || (window.second.width() <= 32 && window.second.y() < 24);
    QVERIFY(iconDocked);
    // The scene locks itself for a second after start-up.
    QTest::qWait(1500);
    screenshot("detected");
}

void tst_EndToEnd::windowComesBackThroughASecondCopy()
{
    click(Layout::closeButton);
    QVERIFY2(waitFor([this] { return !mainWindow().isValid(); }), "the window did not hide");
    screenshot("hidden");
    QCOMPARE(m_program->state(), QProcess::Running);

    auto second = startProgram();
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 1);
    QVERIFY2(waitFor([this] { return mainWindow().isValid(); }), "the window did not come back");
    m_window = mainWindow();
    QVERIFY(xdotool({"mousemove", "640", "700"})); // off the window
    QTest::qWait(300);
    screenshot("restored");
}

void tst_EndToEnd::reportRate()
{
    const int mark = recordSize();
    click(Layout::reportRateBox);
    QTest::qWait(500);
    screenshot("report-rate-list");
    click(Layout::reportRateRow(2)); // 500Hz
    QTest::qWait(500);
    screenshot("report-rate-500");
    expectReports(mark, {"feature 00 01 02 00 00 00 00 00 fc"});
    QSettings profile(m_install.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/reportRate").toInt(), 2);
}

void tst_EndToEnd::dpiStageAndSave()
{
    const int mark = recordSize();
    // Half way up the first stage's track: knob 82, that is
    // (82 - 3) * (6000 - 200) / 158 + 200 = 3100.
    click(Layout::dpiStageTrack(0, 88));
    QTest::qWait(500);
    screenshot("dpi-stage-3100");
    QCOMPARE(recordSince(mark), QStringList()); // nothing before Save
    click(Layout::saveButton);
    QTest::qWait(300);
    screenshot("dpi-saved");
    // 11H: four active stages, eight sensor codes (v / 100 - 1 for the
    // 3360), 80H from the fifth on.
    const QString data = "output 00 1e 09 0e 13 80 80 80 80" + QString(" 00").repeated(24);
    expectReports(mark, {"feature 00 11 04 08 00 00 00 00 e2", data});
    QSettings profile(m_install.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/dpiValueArray").toStringList().value(0), QStringLiteral("3100"));
}

void tst_EndToEnd::systemSettings()
{
    const int mark = recordSize();
    click(Layout::systemSettingButton);
    QTest::qWait(500);
    screenshot("system-settings");
    // Knob target 104 (the click less 6): speed level 4, that is pointer
    // speed 8 of 20, applied at once as the X server's acceleration 8/10.
    click(Layout::pointerSpeedTrack(110));
    QTest::qWait(500);
    screenshot("pointer-speed-4");

    xcb_connection_t *connection = xcb_connect(qPrintable(m_display), nullptr);
    QVERIFY(!xcb_connection_has_error(connection));
    xcb_get_pointer_control_reply_t *control =
        xcb_get_pointer_control_reply(connection, xcb_get_pointer_control(connection), nullptr);
    QVERIFY(control);
    const int numerator = control->acceleration_numerator;
    const int denominator = control->acceleration_denominator;
    free(control);
    xcb_disconnect(connection);
    QCOMPARE(numerator, 8);
    QCOMPARE(denominator, 10);

    click(Layout::dialogClose);
    QTest::qWait(400);
    screenshot("system-settings-closed");
    // Desktop settings only: nothing for the mouse.
    QCOMPARE(recordSince(mark), QStringList());
    QSettings profile(m_install.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/mouseRate").toInt(), 104);
}

void tst_EndToEnd::lightingEffectAndSave()
{
    const int mark = recordSize();
    click(Layout::effectList);
    QTest::qWait(500);
    screenshot("effect-list");
    click(Layout::effectRow(3)); // OFF
    QTest::qWait(500);
    screenshot("effect-off");
    QCOMPARE(recordSince(mark), QStringList()); // nothing before Save
    click(Layout::saveButton);
    QTest::qWait(300);
    screenshot("effect-saved");
    // OFF is mode 0 with no parameters; this family takes the colours
    // twice in a row.
    const QString colours = "output 00 ff 00 00 00 ff 00 00 00 ff ff 00 ff 00 ff ff ff 7f 00 60 00 "
                            "ff ff ff ff 00 00 00 00 00 00 00 00";
    expectReports(mark, {"feature 00 0d 00 00 00 00 00 00 f2", "feature 00 10 00 18 00 00 00 00 d7",
                         colours, "feature 00 10 00 18 00 00 00 00 d7", colours});
    QSettings profile(m_install.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/lightValue").toStringList().value(0), QStringLiteral("3"));
}

void tst_EndToEnd::buttonAssignmentAndSave()
{
    const int mark = recordSize();
    click(Layout::keyRow(2)); // Key 3, the middle button
    QTest::qWait(600);
    screenshot("assignment-dialog");
    click(Layout::mouseFunction(1, 1)); // Back Key
    QTest::qWait(300);
    screenshot("assignment-back");
    click(Layout::assignClose);
    QTest::qWait(400);
    QCOMPARE(recordSince(mark), QStringList()); // nothing before Save
    click(Layout::saveButton);
    QTest::qWait(300);
    screenshot("assignment-saved");
    // Key matrix 1 with the third record, once the middle button (F2),
    // now the back button (F3); the rest as before.
    expectReports(mark, {"feature 00 12 01 40 08 00 00 00 a4",
                         "output 00 01 00 f0 00 01 00 f1 00 01 00 f3 00 01 00 f4 00 01 00 f3 00 01 "
                         "00 00 00 0a f0 1e 02 0a f0 1e 02",
                         "output 00 07 00 02 00 07 00 01 00 01 00 00 00 01 00 00 00 01 00 00 00 01 "
                         "00 00 00 04 00 01 00 04 00 02 00"});
}

// The mouse stops answering right after the first report of a Save: the
// user is told through the tray and in the window, and Save stays red until
// a Save that goes through.
void tst_EndToEnd::interruptedSaveIsReported()
{
    const int mark = recordSize();
    click(Layout::dpiStageTrack(0, 40));
    QTest::qWait(500);
    setMouseFault("silent 1");
    click(Layout::saveButton);
    const QByteArray notice = "Tray message: Skarn Config - The settings were not written to the "
                              "mouse.";
    QVERIFY2(waitForOutput(notice).contains(QString::fromLatin1(notice)), m_output.constData());
    QVERIFY(xdotool({"mousemove", "640", "700"})); // off the Save button
    QTest::qWait(500);
    QImage shot = screenshot("save-not-written");
    QCOMPARE(shot.pixelColor(m_window.topLeft() + Layout::saveFace), QColor("#ff3030"));
    const QStringList partial = recordSince(mark);
    QCOMPARE(partial.size(), 1);
    QVERIFY(partial.first().startsWith("feature 00 11 04 08"));

    // The stage stored by the failed Save, as the sensor code of the data.
    QSettings profile(m_install.filePath("modules/setting/p1.bin"), QSettings::IniFormat);
    const int stage = profile.value("mouse/dpiValueArray").toStringList().value(0).toInt();
    QVERIFY(stage > 200 && stage < 3100);
    const QString data = QStringLiteral("output 00 %1 09 0e 13 80 80 80 80")
                             .arg(stage / 100 - 1, 2, 16, QLatin1Char('0')) +
                         QString(" 00").repeated(24);

    setMouseFault("none");
    click(Layout::saveButton);
    expectReports(mark + 1, {partial.first(), data});
    QVERIFY(xdotool({"mousemove", "640", "700"}));
    QTest::qWait(500);
    shot = screenshot("save-written");
    QCOMPARE(shot.pixelColor(m_window.topLeft() + Layout::saveFace), QColor("#09347f"));
}

void tst_EndToEnd::profileSwitcher()
{
    const int mark = recordSize();
    click(Layout::profileList);
    QTest::qWait(500);
    screenshot("profile-list");
    click(Layout::profileRow(1));
    QTest::qWait(1500);
    screenshot("profile-2");
    // Everything of the new profile goes out at once: key matrix 1, the
    // report rate (1000Hz), the DPI stages, the lighting (Static, full
    // brightness) and the eight colours; then with guns key matrix 1
    // becomes current and the firmware table goes out again as key
    // matrices 2, 3 and 4.
    const QString keys[2] = {
        "output 00 01 00 f0 00 01 00 f1 00 01 00 f2 00 01 00 f4 00 01 00 f3 00 01 00 00 00 0a f0 "
        "1e 02 0a f0 1e 02",
        "output 00 07 00 02 00 07 00 01 00 01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00 04 00 "
        "01 00 04 00 02 00"};
    QStringList expected{"feature 00 12 01 40 08 00 00 00 a4",
                         keys[0],
                         keys[1],
                         "feature 00 01 01 00 00 00 00 00 fd",
                         "feature 00 11 04 08 00 00 00 00 e2",
                         "output 00 04 09 0e 13 80 80 80 80" + QString(" 00").repeated(24),
                         "feature 00 0d 01 ff 00 00 00 00 f2",
                         "feature 00 10 00 18 00 00 00 00 d7",
                         "output 00 ff 00 00 00 ff 00 00 00 ff ff 00 ff 00 ff ff ff 7f 00 60 00 ff "
                         "ff ff ff 00 00 00 00 00 00 00 00",
                         "feature 00 10 00 18 00 00 00 00 d7",
                         "output 00 ff 00 00 00 ff 00 00 00 ff ff 00 ff 00 ff ff ff 7f 00 60 00 ff "
                         "ff ff ff 00 00 00 00 00 00 00 00",
                         "feature 00 02 00 00 00 00 00 00 fd"};
    for (const char *matrix :
         {"02 40 08 00 00 00 a3", "03 40 08 00 00 00 a2", "04 40 08 00 00 00 a1"})
        expected << QStringLiteral("feature 00 12 ") + matrix << keys[0] << keys[1];
    expectReports(mark, expected);
    QSettings global(m_install.filePath("modules/setting/apConfig.bin"), QSettings::IniFormat);
    QCOMPARE(global.value("mouse/profileNo").toInt(), 1);
}

// Export and import through the real file dialogs: readable (not black on
// black), starting in the home folder (there is no Desktop folder here).
void tst_EndToEnd::profileExportAndImportThroughTheDialogs()
{
    click(Layout::configButton);
    QTest::qWait(500);
    const QPoint row = Layout::profileManagerRow(0);
    click(row, 3);
    QTest::qWait(300);
    screenshot("profile-menu");
    click(Layout::profileMenuEntry(row, 1)); // Export: the active profile, 2
    answerFileDialog("Save File", "exported.pf");
    QFile exported(m_home.filePath("exported.pf"));
    QVERIFY(waitFor([&] { return exported.exists(); }, 5000));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QFile active(m_install.filePath("modules/setting/p2.bin"));
    QVERIFY(active.open(QIODevice::ReadOnly));
    const QByteArray bytes = exported.readAll();
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(bytes, active.readAll());

    click(Layout::profileImport); // a new row, profile 3, then the dialog
    answerFileDialog("Open File", "exported.pf");
    QTest::qWait(500);
    screenshot("profile-imported");
    QVERIFY(waitFor(
        [&] {
            QFile imported(m_install.filePath("modules/setting/p3.bin"));
            return imported.open(QIODevice::ReadOnly) && imported.readAll() == bytes;
        },
        5000));
    click(Layout::profilesClose);
    QTest::qWait(400);
    screenshot("profiles-closed");
}

// Keys typed into another program's window reach nothing while the window
// is shown without a capture or hidden in the tray; the fire-key field
// takes exactly one key while it waits, and nothing after it.
void tst_EndToEnd::keysReachTheProgramOnlyDuringACapture()
{
    xcb_connection_t *other = xcb_connect(qPrintable(m_display), nullptr);
    QVERIFY(!xcb_connection_has_error(other));
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
    const xcb_window_t window = xcb_generate_id(other);
    xcb_create_window(other, XCB_COPY_FROM_PARENT, window, screen->root, 0, 600, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(other, window);
    xcb_flush(other);
    const QString id = QString::number(window);
    const auto typeElsewhere = [this, &id](const QString &keys) {
        QVERIFY(xdotool({"windowfocus", "--sync", id}));
        QVERIFY(xdotool({"type", "--delay", "20", keys}));
        QTest::qWait(300);
    };

    m_output += m_program->readAll();
    QVERIFY2(!m_output.contains("Key capture started"), m_output.constData());
    typeElsewhere("secret");
    click(Layout::closeButton);
    QVERIFY(waitFor([this] { return !mainWindow().isValid(); }));
    typeElsewhere("secret");
    auto second = startProgram();
    QVERIFY(second->waitForFinished(10000));
    QVERIFY(waitFor([this] { return mainWindow().isValid(); }));
    m_window = mainWindow();
    m_output += m_program->readAll();
    QVERIFY2(!m_output.contains("Key capture started"), m_output.constData());

    const int mark = recordSize();
    click(Layout::keyRow(2));
    QTest::qWait(600);
    click(Layout::fireKeyBox(56));
    QVERIFY(!waitForOutput("Key capture started").isEmpty());
    QVERIFY(m_output.contains("Key capture started"));
    screenshot("fire-key-waiting");
    typeElsewhere("t");
    QVERIFY(waitForOutput("Key capture ended").contains("Key capture ended"));
    typeElsewhere("u");
    screenshot("fire-key-taken");
    click(Layout::assignClose);
    QTest::qWait(400);
    click(Layout::saveButton);
    QTest::qWait(500);
    // Key 3 now fires T (17H), and the capture ended with it.
    const QString matrix = recordSince(mark).join('\n');
    QVERIFY2(matrix.contains("output 00 01 00 f0 00 01 00 f1 00 0a 17 0a "), qPrintable(matrix));
    m_output += m_program->readAll();
    QCOMPARE(m_output.count("Key capture started"), 1);
    QCOMPARE(m_output.count("Key capture ended"), 1);
    xcb_disconnect(other);
}

// One click on the tray icon brings the hidden window back (StatusNotifier
// hosts send only that); the tray menu's profile entries switch profiles.
void tst_EndToEnd::trayClickAndTrayProfileMenu()
{
    const QRect icon = trayIcon();
    QVERIFY(icon.isValid());
    click(Layout::closeButton);
    QVERIFY2(waitFor([this] { return !mainWindow().isValid(); }), "the window did not hide");
    const QString x = QString::number(icon.center().x());
    const QString y = QString::number(icon.center().y());
    QVERIFY(xdotool({"mousemove", x, y}));
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY2(waitFor([this] { return mainWindow().isValid(); }), "a click did not show it");
    screenshot("tray-click");

    // The menu: a border of 1 px, "Show window", a separator of 1 px, one
    // radio entry per profile, a separator and "Quit (&Q)", 22 px each.
    QVERIFY(xdotool({"mousemove", x, y}));
    QVERIFY(xdotool({"click", "3"}));
    const QRect menu = trayMenu(icon);
    QVERIFY2(menu.isValid(), "no tray menu");
    QCOMPARE((menu.height() - 4) / 22 - 2, 3); // the import step added the third
    screenshot("tray-profile-menu");
    const int mark = recordSize();
    QVERIFY(xdotool({"mousemove", QString::number(menu.center().x()),
                     QString::number(menu.top() + 1 + 22 + 1 + 11)}));
    QTest::qWait(200);
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY2(waitFor([this] {
                 QSettings global(m_install.filePath("modules/setting/apConfig.bin"),
                                  QSettings::IniFormat);
                 return global.value("mouse/profileNo").toInt() == 0;
             }),
             "the first profile did not become active");
    QVERIFY(
        waitFor([&] { return recordSince(mark).contains("feature 00 01 02 00 00 00 00 00 fc"); }));
    QVERIFY(xdotool({"mousemove", "640", "700"}));
    QTest::qWait(1000);
    screenshot("tray-profile-1");
}

// The dialogs no step above opens, each built on its first opening (the
// others were built again after the window came back from the tray): each
// shows over its place and closes again, without a word to the mouse.
void tst_EndToEnd::remainingDialogsOpenAndClose()
{
    struct Dialog
    {
        const char *name;
        QPoint open, inside, close;
    };
    const Dialog dialogs[] = {
        {"help-menu", Layout::helpButton, Layout::helpMenu, Layout::helpButton},
        {"macro-editor", Layout::macroEditorRow, {512, 320}, Layout::editorClose},
        {"gun-editor", Layout::gunEditorRow, {512, 320}, Layout::editorClose},
        {"reset-question", Layout::resetButton, {400, 345}, Layout::resetCancel},
    };
    // The tray's profile switch may still be sending, with the window
    // locked: first the mouse hears nothing for a second.
    int mark = recordSize();
    QElapsedTimer quiet;
    quiet.start();
    QVERIFY(waitFor(
        [&] {
            if (const int now = recordSize(); now != mark) {
                mark = now;
                quiet.restart();
            }
            return quiet.elapsed() > 1000;
        },
        20000));
    QTest::qWait(300);
    for (const Dialog &dialog : dialogs) {
        const QPoint probe = m_window.topLeft() + dialog.inside;
        const QString name = QString::fromLatin1(dialog.name);
        const QColor before = screenshot(name + QStringLiteral("-before")).pixelColor(probe);
        click(dialog.open);
        QTest::qWait(500);
        QImage shot = screenshot(name);
        QVERIFY2(shot.pixelColor(probe) != before, dialog.name);
        click(dialog.close);
        QTest::qWait(400);
        shot = screenshot(name + QStringLiteral("-closed"));
        QVERIFY2(shot.pixelColor(probe) == before, dialog.name);
    }
    QCOMPARE(recordSince(mark), QStringList());
    m_output += m_program->readAll();
    QVERIFY2(!m_output.contains("qrc:/modules/qml/"), m_output.constData());
}

// Mean brightness of the panels' area, below the title bar.
static int panelBrightness(const QImage &screen, const QRect &window)
{
    const QRect panels = window.adjusted(40, 100, -40, -40);
    qint64 sum = 0;
    int count = 0;
    for (int y = panels.top(); y < panels.bottom(); y += 8) {
        for (int x = panels.left(); x < panels.right(); x += 8) {
            sum += qGray(screen.pixel(x, y));
            ++count;
        }
    }
    return count ? int(sum / count) : -1;
}

// With the mouse gone, a click on the tray icon shows the window in its
// no-mouse state (the panels covered by a dark sheet); the mouse coming
// back lifts it without a click.
void tst_EndToEnd::noMouseStateOnActivation()
{
    m_window = mainWindow();
    QVERIFY(m_window.isValid());
    const int connected = panelBrightness(screenshot("before-unplug"), m_window);
    setMouseFault("unplug");
    QVERIFY2(
        waitFor([this] { return waitForOutput("Device removed", 100).contains("Device removed"); }),
        "the unplug went unnoticed");
    if (mainWindow().isValid())
        click(Layout::closeButton);
    QVERIFY2(waitFor([this] { return !mainWindow().isValid(); }), "the window did not hide");

    const QRect icon = trayIcon();
    QVERIFY(icon.isValid());
    QVERIFY(xdotool(
        {"mousemove", QString::number(icon.center().x()), QString::number(icon.center().y())}));
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY2(waitFor([this] { return mainWindow().isValid(); }), "a click did not show it");
    m_window = mainWindow();
    QVERIFY(xdotool({"mousemove", "640", "700"}));
    QTest::qWait(500);
    const int noMouse = panelBrightness(screenshot("no-mouse"), m_window);
    QVERIFY2(noMouse < connected / 3,
             qPrintable(QStringLiteral("brightness %1 with the mouse, %2 without")
                            .arg(connected)
                            .arg(noMouse)));

    const int connects = m_output.count("Device Connect");
    setMouseFault("plug");
    QVERIFY2(waitFor([&] { return waitForOutput("", 100).count("Device Connect") > connects; }),
             "the mouse coming back went unnoticed");
    QVERIFY(waitFor([&] {
        return mainWindow().isValid() &&
               panelBrightness(screenshot("replugged"), mainWindow()) > connected * 2 / 3;
    }));
}

void tst_EndToEnd::quitThroughTheTrayMenu()
{
    const QRect icon = trayIcon();
    QVERIFY(icon.isValid());
    QVERIFY(xdotool(
        {"mousemove", QString::number(icon.center().x()), QString::number(icon.center().y())}));
    QVERIFY(xdotool({"click", "3"}));
    // The menu: a new small window of the program; "Quit (&Q)" is its last
    // entry, 22 px high above a 1 px border.
    const QRect menu = trayMenu(icon);
    QVERIFY2(menu.isValid(), "no tray menu");
    screenshot("tray-menu");
    QVERIFY(xdotool(
        {"mousemove", QString::number(menu.center().x()), QString::number(menu.bottom() - 12)}));
    QTest::qWait(200);
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY(m_program->waitForFinished(10000));
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
    screenshot("quit");
    m_output += m_program->readAll();
    // No failure line: no command failed, and a pointer setting this desktop
    // lacks (the wheel scroll amount) was not even attempted on the profile
    // switches.
    QVERIFY2(!m_output.contains(" Failed"), m_output.constData());
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
