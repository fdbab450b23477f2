#pragma once

#include <QQuickWidget>
#include <QVariant>
#include <memory>

class DeviceOperations;
class FileDialogs;
enum class ImportResult;
class Hid_Thread;
class PointerSettings;
class SettingsStore;

// The scene host and the scene's one door to the native side (`ui_View`).
// Its slots are the operations the scene may call; they stay thin and
// delegate to the store and the device link.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
public:
    enum class Delivery { Queued, Synchronous };

    // Why a change was refused or not kept. The texts are the language
    // file's group "refusal" in this order, with English built in.
    enum Refusal {
        NameTaken,
        NameNotFileName,
        NameTooLong,
        NameReserved,
        RenameFailed,
        MacroTooLong,
        FileTooLarge,
        ImportTooLong,
        NotSaved,
        ImportFailed,
        DamagedFiles,
        DamagedDeviceTable,
        ExportFailed,
        NotMade,
        TemporaryDataFolder,
        AutostartNotChanged,
        RefusalCount
    };
    static QString refusalText(int reason, const QString &langCode);

    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    SettingsStore *store() const { return m_store; }
    // Replaces the file dialogs behind profile and macro import and export;
    // returns the previous ones.
    std::unique_ptr<FileDialogs> setFileDialogs(std::unique_ptr<FileDialogs> dialogs);

    // Replaces the desktop's pointer settings (tests record instead).
    void setPointerSettings(std::unique_ptr<PointerSettings> settings);

    // The mouse went away (false) or was confirmed (true). While it is
    // away the scene stays disabled, whatever busy lock ends meanwhile.
    void setDevicePresent(bool present);

    // The device link of the main window.
    void setDeviceLink(Hid_Thread *link);
    Hid_Thread *deviceLink() const;

    // The command sequences behind the device operations, for the
    // controller family and flags read when the view was built.
    DeviceOperations &deviceOperations() const { return *m_device; }
    // Family 560's image of device profile n (0 to 4).
    QByteArray deviceProfile(int n) const;

    // Calls the function `name` of the scene's root item with `args`. A
    // queued call runs when control returns to the GUI thread's event loop
    // (and may be requested from any thread); a synchronous call runs before
    // this returns. A function the scene does not define is silently ignored.
    void invokeScene(const char *name, const QVariantList &args = {},
                     Delivery delivery = Delivery::Queued);
    // Whether the scene's root item defines the function `name`.
    bool sceneHasFunction(const char *name) const;

    // True while a field or the macro recorder waits for keys and buttons.
    bool isCaptureActive() const { return m_captureActive; }

    // Whether the user works with the keyboard: a key press sets it, a
    // mouse press clears it. The scene shows its focus ring only then, as
    // desktop toolkits do, not round a control just clicked.
    Q_PROPERTY(bool keyboardInUse READ keyboardInUse NOTIFY keyboardInUseChanged)
    bool keyboardInUse() const { return m_keyboardInUse; }

signals:
    // Something the user must know now: a change that was not saved or not
    // sent to the mouse, or a refusal and its reason.
    void userNotice(const QString &text);
    // The desktop did not take a pointer setting (told to the user as well):
    // the desktop's failure, not the mouse's or the store's.
    void pointerSettingFailed(const QString &text);
    // Global capture is wanted (or no longer): only then may the program see
    // keys and buttons aimed at other windows.
    void captureActiveChanged(bool active);
    void keyboardInUseChanged();

public slots:
    // Tells the user `text` in the window and through the tray.
    void notifyUser(QString text);
    // Device operations that failed since the view was made; the scene
    // compares it before and after a write of several operations to know
    // whether the mouse took everything.
    int deviceFailureCount() const;
    // The scene starts and ends its captures; a hidden view has none.
    void setCaptureActive(bool active);
    // The scene's busy lock and its end; a scene whose mouse is away is
    // never locked (its no-mouse state keeps the panels disabled). Hides
    // QWidget::setEnabled for the scene and for callers that hold a
    // myQQuickView.
    void setEnabled(bool enabled);
    // Tells the user why a change was refused, in the current language.
    void refuse(int reason);
    // How many writes to the data folder have failed in this run; a screen
    // that sees it grow while saving keeps its change pending.
    int failedWrites() const { return m_failedWrites; }
    // Holds the current profile as it stands, and puts it back: Save holds
    // it before each screen's part, and what the mouse did not take goes.
    void holdProfile();
    void restoreHeldProfile();

    void initUI();
    void runUI();
    void setBusy(int busyTime);
    void setCurrentDPI(int dpiValue);

    // Device operations; each is one sequence of DeviceOperations.
    void clearHidBusy();
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    QVariantList GetKeyboardoption();
    void mouseSetReportRate(uchar rate);
    void mouseSetCurrentDPI(uchar currentDPI);
    QVariant mouseGetCurrentDPI();
    void mouseSwitchKeyMatrix(int indexNo);
    void mouseSetProfile(uint profileNo);
    void mouseReadProfile(uint profileNo);
    QVariant mouseReadCurrentProfile();
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, QVariantList src24);
    // `values` is [times, X, Y] of gun slot `slot` (1 to 3).
    void mouseSendGundata(int slot, QVariantList values);
    void openUpdateExe();

    // Settings by key.
    QVariant getData(QVariant key, bool isRecovery);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void resetApconfig();

    // Profiles, name lists, macros, gun data and key matrix records; each
    // delegates to a class in store/.
    void setCurrentProfile(int profile);
    bool loadProfile(int profile);
    void saveProfile(int profile);
    void resetProfile(int profile);
    void copyProfile(int destprofile, int srcprofile);

    QVariant updataNameList(QVariant type, QStringList nameList);
    QVariantList getNameList(QVariant type);

    QVariant createMacroIni(QVariant name, QVariant macroIndex);
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);
    QStringList loadMacroIni(QVariant name);
    QVariant deleteMacroIni(QVariant name);
    bool loadMacroFile(QVariant macroFileName);
    void saveMacroFile(QVariant macroFileName);
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);
    void deleteMacroUpdateProfile(QVariant macroName);

    QVariant mouseSaveGundata(QVariant index, QVariantList src6);
    void modifyGundata(QVariant modifyType, QVariantList src6);
    QVariantList getGunData(QVariant name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(QVariant index);
    void setXYSensitive(QVariant index, QVariant xyData);
    QVariant getselectGun(QVariant index);
    void setSelectGun(QVariant index, QVariant xyData);

    // `flag` true reads the factory record of the default profile.
    QVariantList mouseGetKeydefine(QVariant index, bool flag);
    // Stores the 16 records of `src64` in the current profile and, with
    // `isSendData`, sends them; `otherParam` holds the fire periods of the
    // three chosen gun presets.
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);
    // The profile's firmware table as key matrices 2 to 4.
    void mouseResetKeyMatrix();
    // Sends macro slot `macroIndex` (0 to 11; others are ignored); always
    // true.
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);

    // The desktop's pointer settings; the scene passes slider levels 0..10
    // and a line count (1000 for a page).
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetDoubleClickSpeed(uint speed);
    void mouseSetVerticalScrollLines(uint lines);
    // Why the desktop cannot take `setting` (0 pointer speed, 1 double-click
    // speed, 2 wheel scroll lines) at all, in the current language; empty
    // when it can.
    QString pointerSettingReason(int setting);

    // The desktop's autostart entry of this program (started with --hidden).
    // Setting answers whether the entry is now as asked.
    bool getStartWithDesktop();
    bool setStartWithDesktop(bool enabled);

    // Localised texts of one group of the language file `langCode`.
    QStringList getLangStrings(QString typeStr, QString langCode);

protected:
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Hidden in the tray: returns what the scene no longer holds.
    void releaseHiddenMemory();
    void callSceneNow(const QByteArray &name, const QVariantList &args);
    QMetaMethod sceneFunction(const QByteArray &name, int parameterCount) const;
    // Text `index` of the pointer settings group, in the current language.
    QString pointerText(int index) const;
    // Counts a failed write and tells the user (once per turn, as every
    // notice).
    // Tells `reason` unless `written`; returns `written`.
    bool noteWritten(bool written, Refusal reason = NotSaved);
    void noteImport(ImportResult result);
    void noteSetAside();

    SettingsStore *m_store = nullptr;
    std::unique_ptr<FileDialogs> m_fileDialogs;
    std::unique_ptr<PointerSettings> m_pointerSettings;
    std::unique_ptr<DeviceOperations> m_device;
    bool m_captureActive = false;
    bool m_keyboardInUse = true;
    bool m_deviceAway = false;
    int m_failedWrites = 0;
    QVariantMap m_heldProfile;
    QStringList m_toldThisTurn;
    bool m_setAsideNoticeQueued = false;
    // The view's size while a hidden view is shrunk, otherwise invalid.
    QSize m_shownSize;
};
