#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QQmlComponent;
class QWidget;
class Session;
class myQQuickView;

// The window controller the scene sees as `ui_Ctl`: drag, minimise, hide and
// the busy lock. It also builds the frameless host window around the scene.
class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    explicit Ui_Controler(QObject *parent = nullptr);
    ~Ui_Controler() override;

    // Now: the scene is built before setupUi returns. InBackground: its
    // types load on the QML loader thread while the caller goes on, and
    // loadScene() builds it.
    enum class SceneLoad { Now, InBackground };

    // Turns `window` into the frameless, see-through main window, creates the
    // view of `session` with the scene from `sceneUrl` as its child and
    // publishes the context objects `ui_View` and `ui_Ctl`.
    void setupUi(QWidget *window, Session &session, const QString &sceneUrl = defaultSceneUrl(),
                 SceneLoad load = SceneLoad::Now);
    // Builds the scene, waiting for whatever of its loading is left; once.
    void loadScene();

    myQQuickView *view() const;
    QWidget *window() const { return m_window; }

    static QString defaultSceneUrl();

signals:
    // The scene lets the program end (after asking about unsaved changes).
    void quitRequested();

public slots:
    void onMinimize();
    void onClose();
    // Brings the window back to the front, for a question the user must see.
    void onShow();
    void onQuit();
    void onXChanged(int x);
    void onYChanged(int y);
    // Hands a drag of the frameless window to the window system, which moves
    // it itself (the only way on Wayland). False where it cannot; the scene
    // then moves the window by offsets.
    bool startSystemMove();
    void setBusy(int busyTime);
    void setBusy();

private:
    void moveOnScreen(QPoint to);

    QPointer<QWidget> m_window;
    QPointer<myQQuickView> m_view;
    QString m_sceneUrl;
    // Holds the background loading's results until the scene is built.
    QQmlComponent *m_pendingScene = nullptr;
};
