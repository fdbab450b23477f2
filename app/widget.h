#pragma once

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
class Session;
class myQQuickView;

// The program's one top-level window and its anchor in the system tray.
// Closing or minimising the window never ends the program; only the tray
// menu's quit entry does.
class Widget : public QWidget
{
    Q_OBJECT
public:
    // The window of the data folder `dataFolder`. `sceneUrl` and `backend`
    // let tests host a scene and devices of their own; without a backend the
    // window picks one from the environment (HidBackend::fromEnvironment).
    explicit Widget(const QString &dataFolder, QWidget *parent = nullptr,
                    const QString &sceneUrl = QString(), HidBackend *backend = nullptr,
                    Ui_Controler::SceneLoad load = Ui_Controler::SceneLoad::Now);
    ~Widget() override;

    Ui_Controler *controller() const { return m_controller; }
    myQQuickView *view() const;
    Session &session() const { return *m_session; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QTimer *detectionTimer() const { return m_detectionTimer; }
    DeviceDetector *detector() const { return m_detector.get(); }

    // Set by exitSYS() once the program may end; the event loop has been
    // told to end then, also when that runs before the loop does.
    bool quitRequested() const { return m_quitRequested; }

    // Runs the scene's initUI, the mouse's start-up exchanges, and then,
    // through the event queue, the scene's run.
    void startScene();
    // The first detection pass; the scene loading in the background is
    // built meanwhile, while the link's thread talks to the mouse.
    void startUp();
    // Shows the window once the scene started by a detection pass has run,
    // so that its first frame is the screen itself, not the start-up
    // picture; the tray icon follows the window. Without a mouse the window
    // shows its no-mouse state once the pass is over. showWindow() cancels
    // it.
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

    // An information balloon of the tray icon, 10 s.
    void showTrayMessage(const QString &title, const QString &text);
    // A notice of the scene through the tray: the user hears of it even
    // with the window hidden.
    void showNotice(const QString &text);
    // How long a quit waits for a transfer to the mouse to end before it
    // stops it between two commands (15 s: a whole profile of family 560
    // takes 12).
    void setQuitWait(int milliseconds) { m_quitWaitMs = milliseconds; }

signals:
    void trayMessageShown(const QString &title, const QString &text);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    // Ends the program: at once, or once the transfer to the mouse under way
    // has ended (the user is told), or stopped past quitWaitMs.
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
    // The tray's menu and tooltip in the language now in use.
    void relabelTray();

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
    // The balloon of a DPI stage the mouse's button chose.
    void showDpiStage(int stage);
    void endNow();
    // A balloon, unless the window in front tells the user itself.
    void tellInTray(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon);
    // The tray icon, unless shown already, after a window show just asked for.
    void showTrayIconAfterWindow();

    QTimer *m_detectionTimer = nullptr;
    std::unique_ptr<HidBackend> m_ownBackend;
    HidBackend *m_backend = nullptr;
    std::unique_ptr<Session> m_session;
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
    bool m_quitting = false;
    int m_quitWaitMs = 15000;
    bool m_showOnRun = false;
    bool m_sceneStarted = false;
    // Working on a temporary copy of the factory files: said once the scene runs.
    bool m_temporaryFolderNoticeDue = false;
};
