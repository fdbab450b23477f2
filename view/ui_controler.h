#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class myQQuickView;

// The window controller the scene sees as `ui_Ctl`: drag, minimise, hide and
// the busy lock. It also builds the frameless host window around the scene.
class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    explicit Ui_Controler(QObject *parent = nullptr);
    ~Ui_Controler() override;

    // Turns `window` into the frameless, see-through main window, creates the
    // view with the scene from `sceneUrl` as its child and publishes the
    // context objects. `extraContext` objects are published between
    // `ui_View` and `ui_Ctl` (the device link, `hid`).
    void setupUi(QWidget *window, const QString &sceneUrl = defaultSceneUrl(),
                 const QList<QPair<QString, QObject *>> &extraContext = {});

    myQQuickView *view() const { return m_view.data(); }
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
    void setBusy(int busyTime);
    void setBusy();

private:
    QPointer<QWidget> m_window;
    QPointer<myQQuickView> m_view;
};
