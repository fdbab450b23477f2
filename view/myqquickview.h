#pragma once

#include <QJSValue>
#include <QQuickWidget>
#include <QVariant>
#include <memory>

#include "usertexts.h"

class FileDialogs;
enum class ImportResult;
class Session;
class SettingsStore;

// The scene host and the scene's one door to the native side (`ui_View`).
// Its slots are the operations the scene may call; they stay thin and
// delegate to the session (what concerns the mouse) and the store. What the
// mouse answers comes back by signal or by a callback the scene hands in:
// nothing here waits for the mouse.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
    // A sequence of the session is under way or waiting: the scene shows it
    // busy and takes no edits meanwhile.
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)
    // The mouse lacks part of the stored profile: Save sends it.
    Q_PROPERTY(bool profileUnsent READ profileUnsent NOTIFY profileUnsentChanged)
    // The mouse's DPI stage as last known (1 to 8), 0 when not known.
    Q_PROPERTY(int dpiStage READ dpiStage NOTIFY dpiStageChanged)
    Q_PROPERTY(int activeProfile READ activeProfile NOTIFY profileChanged)
    // Whether the user works with the keyboard: a key press sets it, a
    // mouse press clears it. The scene shows its focus ring only then, as
    // desktop toolkits do, not round a control just clicked.
    Q_PROPERTY(bool keyboardInUse READ keyboardInUse NOTIFY keyboardInUseChanged)
public:
    enum class Delivery { Queued, Synchronous };

    explicit myQQuickView(Session &session, QWidget *parent = nullptr);
    ~myQQuickView() override;

    Session &session() const { return m_session; }
    SettingsStore *store() const;
    // Replaces the file dialogs behind profile and macro import and export;
    // returns the previous ones.
    std::unique_ptr<FileDialogs> setFileDialogs(std::unique_ptr<FileDialogs> dialogs);

    // Calls the function `name` of the scene's root item with `args`. A
    // queued call runs when control returns to the GUI thread's event loop
    // (and may be requested from any thread); a synchronous call runs before
    // this returns. A function the scene does not define is silently ignored.
    void invokeScene(const char *name, const QVariantList &args = {},
                     Delivery delivery = Delivery::Queued);

    // True while a field or the macro recorder waits for keys and buttons.
    bool isCaptureActive() const { return m_captureActive; }
    bool keyboardInUse() const { return m_keyboardInUse; }
    bool isBusy() const;
    bool profileUnsent() const;
    int dpiStage() const;
    int activeProfile() const;

    // The tray and the command line ask for a switch or the end: the scene
    // asks about unsaved changes first. False when no scene listens (it
    // then cannot ask, and the caller goes on without it).
    bool requestProfileSwitch(int number);
    bool requestQuit();

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
    void busyChanged();
    void profileUnsentChanged();
    void dpiStageChanged();
    // The active profile is now `number`: the screens show its values.
    void profileChanged(int number);
    // The active profile's values changed as a whole (reset, import).
    void profileReloaded();
    void reportRateChanged(int row);
    void gunPresetsReset();
    // The stored profile list changed from outside the scene (the command
    // line imported one).
    void profileListChanged();
    // For the scene: the tray or the command line asks.
    void profileSwitchRequested(int number);
    void quitRequested();
    // Another language is in use: every text shows in it.
    void languageChanged();

public slots:
    // Tells the user `text` in the window and through the tray.
    void notifyUser(QString text);
    // The scene starts and ends its captures; a hidden view has none.
    void setCaptureActive(bool active);
    // Tells the user why a change was refused, in the current language.
    void refuse(int reason);
    // How many writes to the data folder have failed in this run; a screen
    // that sees it grow while saving keeps its change pending.
    int failedWrites() const { return m_failedWrites; }
    // The installed manual as a file URL, or empty where there is none
    // (the help menu then offers the address in the global settings).
    QString manualUrl() const { return m_manualUrl; }
    void setManualUrl(const QString &url) { m_manualUrl = url; }

    void initUI();
    void runUI();
    void setBusy(int busyTime);

    // The session's sequences. A `done` callback gets whether the mouse
    // took it all; Save's gets that and whether each panel (keys, dpi,
    // lighting) is still unsaved.
    // The active profile's values as the screens show them
    // (ProfileSettings), or the default profile's.
    QVariantMap profileSettings(bool isRecovery);
    // `values` holds the changed panels: keys (64 values), dpi ({ active,
    // values }), lighting ({ effect, speed, brightness, colours }).
    void save(QVariantMap values, QJSValue done);
    void switchProfile(int number);
    void factoryReset();
    void chooseReportRate(int row, QJSValue done);
    // The gun editor closed after a change: its slots and the key table.
    void sendGunSlots(QVariantList src64, QJSValue done);
    // Stores and sends the key table alone.
    void sendKeyTable(QVariantList src64, QJSValue done);
    // Macro `macroName` as stored to slot `macroIndex` (0 to 11).
    void sendMacro(int macroIndex, QString macroName);
    // Macro `macroName` again to every slot the key table plays it from.
    void sendMacroSlots(QVariantList src64, QString macroName);
    // The macro bytes the mouse gets: the editor measures with them.
    QVariantList macroBytes(QStringList events, int repeat);
    // The screens' own edits, not yet saved.
    void setUnsavedEdits(bool unsaved);
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
    // The built-in assignment of every button, four codes each: what a
    // button without a stored record does.
    QVariantList defaultKeyCodes() const;

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
    // The language files, each {code, name} with its own name; the user's
    // choice ("" while the locale decides) and the file in use.
    QVariantList languages() const;
    QString chosenLanguage() const;
    QString language() const;
    // "" goes back to the locale's. False when the choice was not taken or
    // could not be written (the user is told).
    bool setLanguage(const QString &code);

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Hidden in the tray: returns what the scene no longer holds.
    void releaseHiddenMemory();
    void callSceneNow(const QByteArray &name, const QVariantList &args);
    QMetaMethod sceneFunction(const QByteArray &name, int parameterCount) const;
    // Tells `reason` unless `written`; returns `written`.
    bool noteWritten(bool written, int reason = UserTexts::NotSaved);
    void noteImport(ImportResult result);
    void noteSetAside();
    static void call(QJSValue done, const QJSValueList &args);

    Session &m_session;
    std::unique_ptr<FileDialogs> m_fileDialogs;
    QString m_manualUrl;
    bool m_captureActive = false;
    bool m_keyboardInUse = true;
    int m_failedWrites = 0;
    QStringList m_toldThisTurn;
    bool m_setAsideNoticeQueued = false;
    // The view's size while a hidden view is shrunk, otherwise invalid.
    QSize m_shownSize;
};
