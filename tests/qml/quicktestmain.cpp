// Runs the Qt Quick tests of the scene against the real native side: each
// test file gets a fresh temporary data folder (a copy of the factory
// files), a real myQQuickView as `ui_View` and a real Ui_Controler as
// `ui_Ctl`, and `testData` for reading and rewriting the data folder.
#include "autostart.h"
#include "linkrig.h"
#include "myqquickview.h"
#include "scriptedfiledialogs.h"
#include "testdatafolder.h"
#include "ui_controler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QWidget>
#include <QtQuickTest>
#include <memory>

class TestData : public QObject
{
    Q_OBJECT
public:
    explicit TestData(QQmlContext *context) : m_context(context) { reopen(); }

public slots:
    QString read(const QString &relative) const
    {
        return QString::fromUtf8(m_folder.read(relative));
    }
    void write(const QString &relative, const QString &content)
    {
        m_folder.write(relative, content.toUtf8());
    }
    // Puts a folder in place of the file, so that writes to it fail even
    // for root; with `unwritable` false the file comes back as it was.
    void setUnwritable(const QString &relative, bool unwritable)
    {
        const QString path = m_folder.filePath(relative);
        if (unwritable) {
            m_setAside.insert(relative, m_folder.read(relative));
            QFile::remove(path);
            QDir().mkpath(path);
        } else {
            QDir(path).removeRecursively();
            m_folder.write(relative, m_setAside.take(relative));
        }
    }
    // A new view over the same folder, as after a restart of the program.
    void reopen()
    {
        m_dialogs = nullptr;
        m_view.reset();
        m_view = std::make_unique<myQQuickView>();
        if (m_rig)
            m_view->setDeviceLink(&m_rig->link);
        m_controller = std::make_unique<Ui_Controler>();
        m_context->setContextProperty(QStringLiteral("ui_View"), m_view.get());
        m_context->setContextProperty(QStringLiteral("ui_Ctl"), m_controller.get());
    }
    // `ui_Ctl` controls a window of its own (hosting a stand-in scene), so
    // that tests can see the window move, minimise and hide: window() is
    // [x, y, visible, minimised].
    void attachWindow()
    {
        m_controller.reset();
        m_window = std::make_unique<QWidget>();
        m_controller = std::make_unique<Ui_Controler>();
        m_controller->setupUi(m_window.get(), QStringLiteral("qrc:/scenes/recorder.qml"));
        m_window->move(100, 100);
        m_window->show();
        m_context->setContextProperty(QStringLiteral("ui_Ctl"), m_controller.get());
    }
    QVariantList window() const
    {
        return {m_window->x(), m_window->y(), m_window->isVisible(), m_window->isMinimized()};
    }
    // The view's file dialogs answer with `answers` in turn (an empty
    // answer is a cancel); askedDialogs() lists what was asked.
    void scriptFileDialogs(const QStringList &answers)
    {
        auto dialogs = std::make_unique<ScriptedFileDialogs>(answers);
        m_dialogs = dialogs.get();
        m_view->setFileDialogs(std::move(dialogs));
    }
    QStringList askedDialogs() const { return m_dialogs ? m_dialogs->asked : QStringList(); }
    // A virtual mouse of `family` (553 or 560) behind the view, confirmed
    // and with its record cleared; the global flags follow it.
    bool attachMouse(int family, bool isGun)
    {
        m_view->setGlobalData(QStringLiteral("mouse/icType"), QString::number(family));
        m_view->setGlobalData(QStringLiteral("mouse/isGun"), isGun);
        reopen();
        auto rig = std::make_unique<LinkRig>(family, true, isGun);
        m_view->setDeviceLink(&rig->link);
        m_rig = std::move(rig);
        return m_rig->confirm();
    }
    // The command reports the mouse received since the last clear, as hex.
    QStringList deviceCommands() const
    {
        QStringList list;
        for (const QByteArray &command : m_rig ? m_rig->mouse->commands() : QList<QByteArray>())
            list.append(hex(command));
        return list;
    }
    // Macro or key matrix `number` (1-based) as the mouse holds it, as hex.
    QString deviceMacro(int number) const
    {
        return m_rig ? hex(m_rig->mouse->state().macros.value(number)) : QString();
    }
    QString deviceKeyMatrix(int number) const
    {
        return m_rig ? hex(m_rig->mouse->state().keyMatrices.value(number)) : QString();
    }
    // The mouse stops answering (every report fails), or answers again.
    void setMouseSilent(bool silent)
    {
        if (m_rig)
            m_rig->mouse->setFault(silent ? VirtualMouse::Fault::Silent
                                          : VirtualMouse::Fault::None);
    }
    void clearDeviceRecord()
    {
        if (m_rig)
            m_rig->mouse->clearRecord();
    }
    // Shows or hides the view itself (it hosts no scene), as the window
    // comes back from the tray or goes there.
    void setViewShown(bool shown) { m_view->setVisible(shown); }
    // The desktop's autostart entry of the program, empty when there is
    // none; `blocked` puts a file where its folder would go.
    QString autostartEntry() const
    {
        QFile file(Autostart::entryPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void resetAutostart(bool blocked)
    {
        const QString folder = QFileInfo(Autostart::entryPath()).absolutePath();
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        if (blocked) {
            QFile file(folder);
            file.open(QIODevice::WriteOnly);
        }
    }
    // The full path of a file in the data folder.
    QString path(const QString &relative) const { return m_folder.filePath(relative); }

    // The copy of the factory files comes back.
    void reset()
    {
        m_dialogs = nullptr;
        m_view.reset();
        m_rig.reset();
        TestDataFolder::copyTree(TestDataFolder::factoryModules(),
                                 m_folder.filePath(QStringLiteral("modules")));
        QFile::remove(m_folder.filePath(QStringLiteral("modules/setting/name.bin")));
        QDir(m_folder.filePath(QStringLiteral("modules/macro"))).removeRecursively();
        reopen();
    }

private:
    static QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

    // Destroyed in reverse: the view before the mouse it links to, the
    // controller before its window.
    TestDataFolder m_folder;
    QHash<QString, QByteArray> m_setAside;
    QQmlContext *m_context;
    std::unique_ptr<LinkRig> m_rig;
    std::unique_ptr<myQQuickView> m_view;
    ScriptedFileDialogs *m_dialogs = nullptr;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<Ui_Controler> m_controller;
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_data = std::make_unique<TestData>(engine->rootContext());
        engine->rootContext()->setContextProperty(QStringLiteral("testData"), m_data.get());
    }
    void cleanupTestCase() { m_data.reset(); }

private:
    std::unique_ptr<TestData> m_data;
};

int main(int argc, char **argv)
{
    // The view is a widget: the runner needs a QApplication, which it then
    // uses instead of making its own QGuiApplication.
    QApplication app(argc, argv);
    // The autostart entry goes to a folder of the run, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QTEST_SET_MAIN_SOURCE_PATH
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "scene", nullptr, &setup);
}

#include "quicktestmain.moc"
