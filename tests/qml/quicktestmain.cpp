// The scene's Qt Quick tests on the real native side: per test file a copy of the factory files, a
// session over it, myQQuickView as `ui_View`, Ui_Controler as `ui_Ctl`, this fixture as `testData`.
#include "artprovider.h"
#include "autostart.h"
#include "filesizelimit.h"
#include "myqquickview.h"
#include "scriptedfiledialogs.h"
#include "session.h"
#include "testdatafolder.h"
#include "ui_controler.h"
#include "virtualmouse.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtQuickTest>

// Also the runner's setup object: it publishes itself once the engine is there.
class TestData : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImageProvider(QLatin1String(ArtProvider::scheme), new ArtProvider);
        m_context = engine->rootContext();
        m_context->setContextProperty(QStringLiteral("testData"), this);
        reopen();
    }
    QString read(const QString &file) const { return QString::fromUtf8(m_folder.read(file)); }
    void write(const QString &file, const QString &text) { m_folder.write(file, text.toUtf8()); }
    // A folder in place of the file makes writes fail even for root; false puts the file back.
    void setUnwritable(const QString &relative, bool unwritable)
    {
        const QString path = m_folder.filePath(relative);
        const QString aside = path + QStringLiteral(".aside");
        QDir(path).removeRecursively();
        QFile::rename(unwritable ? path : aside, unwritable ? aside : path);
        if (unwritable)
            QDir().mkpath(path);
    }
    // A full disk: no file grows past a byte (reading goes on).
    void setDiskFull(bool full) { limitFileSize(full ? 1 : RLIM_INFINITY); }
    // A new view over the same folder, as after a restart of the program.
    void reopen()
    {
        m_dialogs = nullptr;
        m_view.reset();
        m_session.reset();
        m_session = std::make_unique<Session>(m_folder.path(), m_backend.get());
        m_session->link().setSleep([](int) {});
        m_session->link().setDraw([] { return std::array<uchar, 4>{0x12, 0x34, 0x56, 0x78}; });
        m_view = std::make_unique<myQQuickView>(*m_session);
        m_controller = std::make_unique<Ui_Controler>();
        m_context->setContextProperty(QStringLiteral("ui_View"), m_view.get());
        m_context->setContextProperty(QStringLiteral("ui_Ctl"), m_controller.get());
    }
    // The view's file dialogs answer in turn (empty: cancel); askedDialogs() lists what was asked.
    void scriptFileDialogs(const QStringList &answers)
    {
        auto dialogs = std::make_unique<ScriptedFileDialogs>(answers);
        m_dialogs = dialogs.get();
        m_view->setFileDialogs(std::move(dialogs));
    }
    QStringList askedDialogs() const { return m_dialogs ? m_dialogs->asked : QStringList(); }
    // A connected and started virtual mouse of `family` behind a new view, its record cleared.
    bool attachMouse(int family, bool isGun)
    {
        m_view->setGlobalData(QStringLiteral("mouse/icType"), QString::number(family));
        m_view->setGlobalData(QStringLiteral("mouse/isGun"), isGun);
        m_view.reset();
        m_session.reset();
        m_backend = std::make_unique<VirtualMouseBackend>();
        m_mouse = &m_backend->addMouse(family);
        reopen();
        bool connected = false;
        m_session->detect(
            [&](const Detection::Result &result, bool) { connected = result.connected; });
        m_session->startUp();
        settle();
        m_mouse->clearRecord();
        return connected;
    }
    void settle()
    {
        QSignalSpy idle(m_session.get(), &Session::busyChanged);
        while (m_session->isBusy() && idle.wait(10000)) {
        }
    }
    // Where a test keeps a picture for people to look at (SKARN_TEST_PICTURES), or "" to keep none.
    QString picturePath(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("SKARN_TEST_PICTURES");
        return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
    }
    // As hex: the reports the mouse received since the last clear.
    QStringList deviceCommands() const
    {
        QStringList list;
        for (const QByteArray &command : mouse().commands())
            list.append(QString::fromLatin1(command.toHex(' ')));
        return list;
    }
    void setMouseSilent(bool silent) { mouse().setFault(silent ? Fault::Silent : Fault::None); }
    void clearDeviceRecord() { mouse().clearRecord(); }
    // The desktop's autostart entry of the program; `blocked` puts a file in place of its folder.
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
        if (blocked)
            QFile(folder).open(QIODevice::WriteOnly);
    }
    QString path(const QString &relative) const { return m_folder.filePath(relative); }
    void reset()
    {
        m_view.reset();
        m_session.reset();
        m_mouse = nullptr;
        m_backend.reset();
        TestDataFolder::copyTree(TestDataFolder::factoryModules(), path(QStringLiteral("modules")));
        QFile::remove(path(QStringLiteral("modules/setting/name.bin")));
        QDir(path(QStringLiteral("modules/macro"))).removeRecursively();
        reopen();
    }

private:
    using Fault = VirtualMouse::Fault;
    // Without a mouse attached, a stand-in that records nothing.
    VirtualMouse &mouse() const { return m_mouse ? *m_mouse : m_noMouse; }
    // Destroyed in reverse: the view before its session, the session before its mouse.
    TestDataFolder m_folder;
    QQmlContext *m_context = nullptr;
    mutable VirtualMouse m_noMouse{553};
    std::unique_ptr<VirtualMouseBackend> m_backend;
    VirtualMouse *m_mouse = nullptr;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<myQQuickView> m_view;
    ScriptedFileDialogs *m_dialogs = nullptr;
    std::unique_ptr<Ui_Controler> m_controller;
};

int main(int argc, char **argv)
{
    // A QApplication, as the view is a widget; the autostart entry goes to a folder of the run.
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QTEST_SET_MAIN_SOURCE_PATH
    TestData data;
    return quick_test_main_with_setup(argc, argv, "scene", nullptr, &data);
}

#include "quicktestmain.moc"
