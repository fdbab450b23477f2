#pragma once

#include <QSystemTrayIcon>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;
class Ui_Controler;
class myQQuickView;

// The program's one top-level window and its anchor in the system tray.
// Closing or minimising the window never ends the program; only the tray
// menu's quit entry does.
class Widget : public QWidget
{
    Q_OBJECT
public:
    // `sceneUrl` lets tests host a scene of their own.
    explicit Widget(QWidget *parent = nullptr, const QString &sceneUrl = QString());
    ~Widget() override;

    Ui_Controler *controller() const { return m_controller; }
    myQQuickView *view() const;
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QTimer *detectionTimer() const { return m_detectionTimer; }

    // Runs the scene's initUI and then, through the event queue, its run.
    void startScene();

    static QString trayMenuStyleSheet();

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void exitSYS();
    void receiveMessage(QString message);

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    // Brings the window back from the tray or the task bar; asynchronous.
    void postRestore();

    QTimer *m_detectionTimer = nullptr;
    Ui_Controler *m_controller = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
};
