#pragma once

#include "detection.h"
#include "devicelinkhost.h"
#include "hid_thread.h"
#include "pointersettings.h"
#include "profilelist.h"
#include "profilesettings.h"
#include "settingsstore.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class DeviceOperations;
class HidBackend;

// The program's work with the mouse, which the window's scene, the tray and
// the command line all call: the sequences (start-up, Save, profile switch,
// factory reset, the sends of imports, macros and gun presets), what the
// store holds for them and what the mouse took. Each sequence reads and
// writes the store here, on the thread that made the session, and hands
// what goes to the mouse to the device link as a request; the link's own
// thread sends it, and the outcome comes back here. Sequences run one after
// the other in the order asked for, so a second one never mixes its
// traffic or its store changes into the first.
//
// What the mouse did not take is never shown as done: the user is told
// (notice()), and what a switch, reset or import did not get to the mouse
// stays owed (profileUnsent()) until a Save sends it, across a restart.
class Session : public QObject, public DeviceLinkHost
{
    Q_OBJECT
public:
    // Reports how a request came out: true when the mouse took all of it.
    using Done = std::function<void(bool ok)>;

    // The panels of Save, in the order they are sent.
    enum Panel { KeyPanel, DpiPanel, LightPanel, PanelCount };

    // What Save stores and sends: the panels the user changed, as shown.
    struct SaveRequest
    {
        std::optional<QList<int>> keys; // 64 values, four per button
        struct Dpi
        {
            int active = 4;
            QList<int> values; // eight stage values
        };
        std::optional<Dpi> dpi;
        struct Lighting
        {
            int effect = 0;
            int speed = 0;
            int brightness = 4;
            QList<int> colours; // 24 components
        };
        std::optional<Lighting> lighting;
    };
    struct SaveOutcome
    {
        bool ok = true;
        // Panels still unsaved: not written to the data folder or not taken
        // by the mouse (their stored values are then what the mouse holds).
        std::array<bool, PanelCount> unsaved{};
    };

    // The store of the data folder `root` (with `runValues`, see
    // SettingsStore) and the link to the devices of `backend`, whose thread
    // it starts. The store's family and flags choose the mouse's driver.
    Session(const QString &root, HidBackend *backend, const QVariantHash &runValues = {},
            QObject *parent = nullptr);
    ~Session() override;

    SettingsStore &store() { return m_store; }
    const SettingsStore &store() const { return m_store; }
    // Its pause seam and draws may be replaced before the first request.
    Hid_Thread &link() { return m_link; }
    const Hid_Thread &link() const { return m_link; }
    // Replaces the desktop's pointer settings (tests record instead).
    void setPointerSettings(std::unique_ptr<PointerSettings> settings);
    PointerSettings &pointerSettings() const { return *m_pointerSettings; }

    // Whether a mouse found turns on its event reports (its DPI button) and
    // is listened to; true unless turned off before the first detection.
    void setListensForEvents(bool listens) { m_listensForEvents = listens; }
    // A mouse was confirmed (and is listened to when it should be).
    bool isConnected() const;
    // The last detection pass found a listed mouse this user may not open.
    bool accessDenied() const { return m_accessDenied; }
    // A sequence is under way or waiting.
    bool isBusy() const { return m_running || !m_sequences.empty(); }
    // The mouse's DPI stage as last read, set or reported (1 to 8); 0 when
    // not known.
    int dpiStage() const { return m_dpiStage; }
    // The mouse lacks part of the stored profile.
    bool profileUnsent() const { return m_profileUnsent; }
    int activeProfile() const;
    // The window has edits of its own that are not saved; the command line
    // does not switch profiles under them.
    bool hasUnsavedEdits() const { return m_unsavedEdits; }
    void setUnsavedEdits(bool unsaved) { m_unsavedEdits = unsaved; }

    // A detection pass: the device table read afresh, the first listed mouse
    // that answers connected. `done` gets the pass's result.
    void detect(std::function<void(const Detection::Result &, bool damagedTable)> done);
    // After a connection: the mouse put on its working device profile and
    // its DPI stage read.
    void startUp(const Done &done = {});

    void switchProfile(int number, const Done &done = {});
    // The stored active profile again, whole (after an import into it).
    void resendProfile(const Done &done = {});
    void factoryReset(const Done &done = {});
    void save(const SaveRequest &request, const std::function<void(const SaveOutcome &)> &done);
    // Sent first, stored once the mouse has taken it.
    void setReportRate(int row, const Done &done = {});
    void setDpiStage(int stage, const Done &done = {});
    // `done` gets the stage (0 when the mouse gave none) and whether it
    // answered.
    void readDpiStage(const std::function<void(int stage, bool ok)> &done);
    // The gun editor closed after a change: its three slots, then the key
    // table `keys` (stored and sent, with the slots' fire periods).
    void sendGunSlots(const QList<int> &keys, const Done &done = {});
    // Stores and sends the key table alone.
    void sendKeys(const QList<int> &keys, const Done &done = {});
    // Macro `name`, as stored, to device macro slot `slot` (0 to 11). A
    // body the mouse did not take leaves the profile owed.
    void sendMacro(int slot, const QString &name, const Done &done = {});
    // Macro `name` again to every slot the key table `keys` plays it from.
    void sendMacroSlots(const QList<int> &keys, const QString &name, const Done &done = {});
    void readKeyboardOption(const std::function<void(const std::array<uchar, 4> &)> &done);
    void setKeyboardOption(const std::array<uchar, 4> &option);

    // The device profile blocks the family keeps here (560), for checks.
    void readProfileBlock(int n, const std::function<void(const QByteArray &)> &done);

    // The desktop's pointer settings, levels 0..10 and a line count.
    void setPointerSpeed(int level);
    void setDoubleClickSpeed(int level);
    void setScrollLines(int lines);
    // Why the desktop cannot take `setting` at all; empty when it can.
    QString pointerSettingReason(int setting) const;

    // The macro bytes the mouse gets for `events` ("<type>,<info>" texts)
    // played `repeat` times, with the key names of the language in use.
    QList<int> macroBytes(const QStringList &events, int repeat) const;

    // Stops the request in progress between two commands and drops what
    // waits; each fails as the mouse's refusal would (quit past its bound).
    void stopSending();
    // The program is ending: what is asked from now on fails at once; what
    // waits still runs.
    void close();

    // The data files this session found damaged and set aside.
    const QStringList &setAsideFiles() const { return m_setAside; }
    // This session's user sees its notices (the window): files set aside
    // while none did (a command run alone) are told now, and from now on
    // nothing is kept to tell later.
    void tellEarlierSetAside();

    // The profile list, its first row named in the current language.
    ProfileList profiles();

    // What the program tells its user, in the current language.
    QString refusalText(int reason) const;
    QString noticeText(int which) const;
    // The language file in use: the user's choice, else the locale's.
    QString language() const;
    // The user's choice; empty while the locale decides.
    QString chosenLanguage() const;
    // Chooses a language file of the data folder, or the locale's (empty).
    // False for a language without a file (nothing changes) and when the
    // choice could not be written (it holds until the program ends).
    bool setLanguage(const QString &code);

signals:
    void connectionChanged(bool connected);
    void busyChanged(bool busy);
    void dpiStageChanged(int stage);
    // The mouse's DPI button moved it to `stage` (after dpiStageChanged).
    void dpiStageReported(int stage);
    void deviceRemoved();
    // The active profile is now `number`; its values are stored.
    void profileChanged(int number);
    // The active profile's stored values changed as a whole (reset,
    // import): what shows them reads them again.
    void profileReloaded();
    void reportRateChanged(int row);
    void profileUnsentChanged(bool unsent);
    // The factory reset gave the gun slots their presets back.
    void gunPresetsReset();
    // Something the user must know now.
    void notice(const QString &text);
    // The desktop did not take a pointer setting (also told by notice()).
    void pointerSettingFailed(const QString &text);
    void languageChanged();

private:
    // One step of a request: runs on the link's thread; may add values.
    using Step = std::function<void(DeviceOperations &, QVariantList &values)>;
    struct Reply
    {
        // Per step: whether it lost something on the way.
        QList<bool> failed;
        QVariantList values;
        bool ok() const { return !failed.contains(true); }
    };
    using Finish = std::function<void()>;

    // DeviceLinkHost
    void mouseReportedDpiStage(int stage) override;
    void mouseRemoved() override;

    // `dropped` tells the caller of a sequence that never ran.
    void enqueue(std::function<void(const Finish &)> sequence, std::function<void()> dropped);
    void runNext();
    void request(QList<Step> steps, std::function<void(const Reply &)> done);

    // The whole stored active profile: its values written back as the
    // screens read them, the desktop's settings applied, the steps that
    // send it. Macros for a switch.
    QList<Step> profileSteps(bool withMacros);
    // A switch, reset or import: the profile goes out whole; owed until its
    // first `profileSteps` steps have reached the mouse.
    void sendWhole(QList<Step> steps, qsizetype profileSteps, const Done &done,
                   const Finish &finish);
    bool markProfileOwed();
    Step dpiStep(int active, const QString &sensor, const QList<int> &values);
    Step lightingStep(int effect, int speed, int brightness, const QList<int> &colours);
    Step macroStep(int slot, const QString &name);
    QList<Step> macroSlotSteps(const QList<int> &keys, const QString *only);
    Step keyTableStep(const QList<int> &keys);
    Step gunMatrixStep();
    bool storeKeys(const QList<int> &keys);
    void setProfileUnsent(bool unsent);
    void setDpiStageKnown(int stage);
    void tellNotWritten();
    void refuse(int reason);
    // Counts a failed write to the data folder and tells the user.
    bool noteWritten(bool written, int reason);
    void applyPointer(int setting, int value);

    // A damaged data file was set aside (told once a turn).
    void noteSetAside(const QString &path);
    void queueSetAsideNotice();

    // Before the store: its constructor already reports damaged files.
    bool m_setAsideNoticeQueued = false;
    bool m_storeOpen = false;
    bool m_showsNotices = false;
    QStringList m_setAside;
    SettingsStore m_store;
    Hid_Thread m_link;
    std::unique_ptr<DeviceOperations> m_operations;
    std::unique_ptr<PointerSettings> m_pointerSettings;
    // Numbered in the order asked for.
    struct Sequence
    {
        quint64 number;
        std::function<void(const Finish &)> run;
        std::function<void()> dropped;
    };
    std::deque<Sequence> m_sequences;
    bool m_closing = false;
    quint64 m_lastSequence = 0;
    quint64 m_runningSequence = 0;
    // Sequences up to this one failed after the user was told of a failure.
    quint64 m_toldThrough = 0;
    bool m_running = false;
    bool m_connected = false;
    bool m_listensForEvents = true;
    bool m_accessDenied = false;
    bool m_workingProfileChecked = false;
    bool m_profileUnsent = false;
    bool m_unsavedEdits = false;
    int m_dpiStage = 0;
};
