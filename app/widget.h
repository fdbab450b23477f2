#pragma once

#include "devicelinkhost.h"
#include "hid_thread.h"
#include "ui_controler.h"

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

class DeviceChangeMonitor;
class DeviceDetector;
class HidBackend;
class QAction;
class QActionGroup;
class QMenu;
class QTimer;
class myQQuickView;

// The program's one top-level window and its anchor in the system tray.
// Closing or minimising the window never ends the program; only the tray
// menu's quit entry does.
class Widget : public QWidget, public DeviceLinkHost
{
    Q_OBJECT
public:
    // `sceneUrl` and `backend` let tests host a scene and devices of their
    // own; without a backend the window picks one from the environment
    // (HidBackend::fromEnvironment).
    explicit Widget(QWidget *parent = nullptr, const QString &sceneUrl = QString(),
                    HidBackend *backend = nullptr,
                    Ui_Controler::SceneLoad load = Ui_Controler::SceneLoad::Now);
    ~Widget() override;

    Ui_Controler *controller() const { return m_controller; }
    myQQuickView *view() const;
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QTimer *detectionTimer() const { return m_detectionTimer; }
    Hid_Thread &deviceLink() { return m_hid; }
    DeviceDetector *detector() const { return m_detector.get(); }

    // Set by exitSYS(), also when it runs before the event loop does.
    bool quitRequested() const { return m_quitRequested; }

    // A transfer to the mouse is under way (the scene is locked or the link
    // taken). Transfers let events run, so a request from the tray or the
    // command line can arrive meanwhile; run then, it would interleave its
    // own traffic with the transfer's or wait for the link and fail.
    bool isBusy() const;

    // Runs the scene's initUI and then, through the event queue, its run.
    void startScene();
    // The first detection pass; a scene loading in the background is built
    // once the mouse's start-up exchanges are done, so that they overlap.
    void startUp();
    // Shows the window once the scene started by a detection pass has run,
    // so that its first frame is the screen itself, not the start-up
    // picture; the tray icon follows the window. showWindow() cancels it.
    void showOnceRunning() { m_showOnRun = true; }
    void showTrayIcon();

    static QString trayMenuStyleSheet();

    // The tray's texts (language group "tray"), English where the language
    // file has none.
    enum TrayText {
        ShowWindowText,
        QuitText,
        NoMouseToolTip,
        MouseToolTip,
        NoMouseTitle,
        NoMouseDetail,
        InfoTitle,
        DetectDeviceText,
        DeniedToolTip,
        DeniedTitle,
        TrayTextCount
    };
    QString trayText(TrayText which) const;
    QAction *showAction() const { return m_showAction; }
    QAction *quitAction() const { return m_quitAction; }
    // The profile entries of the tray menu; rebuilt each time it opens.
    void fillProfileMenu();
    QList<QAction *> profileActions() const;

    // DeviceLinkHost
    void setCurrentDPI(int stage) override;
    void disableView() override;
    void showTrayMessage(const QString &title, const QString &text) override;
    // A notice of the scene through the tray: the user hears of it even
    // with the window hidden.
    void showNotice(const QString &text);

signals:
    void trayMessageShown(const QString &title, const QString &text);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    // The tray menu's quit: the scene asks about unsaved changes first and
    // then ends the program through exitSYS().
    void requestQuit();
    void receiveMessage(QString message);
    // A device came or went: a detection pass follows 2048 ms after the
    // last change, unless a mouse is being served.
    void deviceChanged();
    // Tray activation or a second copy: shows the window, in its "No mouse
    // connected" state when no mouse is served.
    void showWindow();
    // After a detection pass or the loss of the mouse: the tray tooltip and
    // the scene's no-mouse state.
    void updateConnectionState();

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    bool trayHostPresent() const;
    // Brings the window back from the tray or the task bar; asynchronous.
    void postRestore();
    bool mouseServed() const;
    void showConnectionState(bool served);
    void showBalloon(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon);
    // A balloon, unless the window in front tells the user itself.
    void tellInTray(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon);
    // The tray icon, unless shown already, after a window show just asked for.
    void showTrayIconAfterWindow();

    QTimer *m_detectionTimer = nullptr;
    std::unique_ptr<HidBackend> m_ownBackend;
    HidBackend *m_backend = nullptr;
    Hid_Thread m_hid;
    std::unique_ptr<DeviceDetector> m_detector;
    DeviceChangeMonitor *m_changeMonitor = nullptr;
    Ui_Controler *m_controller = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QElapsedTimer m_created;
    QMenu *m_trayMenu = nullptr;
    QAction *m_showAction = nullptr;
    QAction *m_quitAction = nullptr;
    QAction *m_profilesEnd = nullptr;
    QActionGroup *m_profileGroup = nullptr;
    bool m_quitRequested = false;
    bool m_showOnRun = false;
    // Working on a temporary copy of the factory files: said once the scene runs.
    bool m_temporaryFolderNoticeDue = false;
};
