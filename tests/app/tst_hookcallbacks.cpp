#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "instancelock.h"
#include "myqquickview.h"
#include "qtsinglecoreapplication.h"
#include "testdatafolder.h"
#include "widget.h"

#include <QMessageBox>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent>

namespace {
QStringList shownBoxes; // "title: text"; another process wrote it: never markup

void recordBox(QMessageBox *box)
{
    shownBoxes << box->windowTitle() + ": " +
                      (box->textFormat() == Qt::PlainText ? box->text() : "markup");
}

CopyDataRecord record(const QByteArray &payload, int count = -1, quint64 tag = 0x250F)
{
    return CopyDataRecord{tag, quint32(count < 0 ? payload.size() : count), payload.constData(),
                          std::size_t(payload.size())};
}
} // namespace

class tst_HookCallbacks : public QObject
{
    Q_OBJECT

    TestDataFolder m_folder;
    Widget m_widget{m_folder.path(), nullptr, "qrc:/scenes/recorder.qml"};

private slots:
    void initTestCase() { m_widget.setWindowTitle("Skarn Test"); }
    void init() { shownBoxes.clear(); }

    // Nothing runs inside the hook: the calls wait for the event loop; no context, no call.
    void keysAndButtonsReachTheSceneQueued()
    {
        HookCallbacks::keyboardToScene(0x58, true, &m_widget);
        HookCallbacks::mouseToScene(0xF1, true, 640, -20, &m_widget);
        HookCallbacks::keyboardToScene(0x58, false, &m_widget);
        HookCallbacks::keyboardToScene(0x04, true, nullptr);
        HookCallbacks::mouseToScene(0xF0, true, 0, 0, nullptr);
        QObject *scene = m_widget.view()->rootObject();
        QVERIFY(scene->property("calls").toStringList().isEmpty());
        QTest::qWait(50);
        QCOMPARE(scene->property("calls").toStringList(),
                 (QStringList{"detectKeyboard true 88", "detectMouse true 241 640 -20",
                              "detectKeyboard false 88"}));
    }

    // From a hook (Windows) and another process's frame through the instance socket (cut or
    // overlong frames are answered, never handled).
    void warningText()
    {
        const QByteArray hello("hello", 6), markup = "<b>Text</b><img src=\"/tmp/x.png\">";
        // tag, payload, count, socket (-1: none; n: n bytes cut; 99: one extra), shown
        const std::tuple<quint64, QByteArray, int, int, QString> rows[] = {
            {0x250F, hello, 5, -1, "hello"},
            {0x250F, hello, 6, -1, ""}, // the count takes in the terminator
            {0x250F, hello.chopped(1), 5, -1, "hello"},
            {0x250F, QByteArray("hel\0lo", 6), 5, -1, ""},
            {0x2510, hello, 5, -1, ""},
            {0x1250F, hello, 5, -1, ""},
            {0x250F, QByteArray("gr\xC3\xBC\xC3\x9F\0", 7), 6, -1, "grüß"},
            {0x250F, markup, int(markup.size()), 0, markup},
            {0x250F, hello, 5, 2, ""},
            {0x250F, hello, 5, 99, ""}};
        auto *app = qobject_cast<QtSingleCoreApplication *>(QCoreApplication::instance());
        HookCallbacks::WarningBoxes warnings(&m_widget, [](QMessageBox *box) {
            recordBox(box);
            box->done(QMessageBox::Ok);
        });
        GlobalInputHooks hooks(nullptr);
        hooks.setCopyDataHandler(HookCallbacks::showWarningText, app, &warnings);
        QSignalSpy messages(app, &QtSingleCoreApplication::messageReceived);
        HookCallbacks::showWarningText(record("hello"), nullptr); // no box without a context
        QStringList expected;
        for (const auto &[tag, payload, count, socket, shown] : rows) {
            if (!shown.isEmpty())
                expected << "Skarn Test: " + shown;
            if (socket < 0) {
                HookCallbacks::showWarningText(record(payload, count, tag), &warnings);
                continue;
            }
            const QByteArray whole = QtSingleCoreApplication::encodeCopyData(tag, count, payload);
            const QByteArray frame = socket == 99 ? whole + "x" : whole.chopped(socket);
            QFuture<bool> sent = QtConcurrent::run([id = app->id(), frame] {
                InstanceLock lock(id);
                return lock.isRunning() && lock.send(InstanceLock::CopyData, frame, 5000);
            });
            QTRY_VERIFY(sent.isFinished() && sent.result());
            QTest::qWait(50);
        }
        QCOMPARE(shownBoxes, expected);
        QVERIFY(messages.isEmpty());
    }

    // One box at a time, three texts waiting at most (the newest last); a shown box does not block.
    void warningFloodShowsOneBoxAtATime()
    {
        QList<QMessageBox *> open;
        HookCallbacks::WarningBoxes warnings(&m_widget, [&](QMessageBox *box) {
            recordBox(box);
            open << box;
        });
        HookCallbacks::showWarningText(record("0"), &warnings);
        for (int i = 1; i <= 100; ++i) // while the first is up
            HookCallbacks::showWarningText(record(QByteArray::number(i)), &warnings);
        QCOMPARE(shownBoxes, QStringList{"Skarn Test: 0"});
        while (!open.isEmpty())
            open.takeFirst()->done(QMessageBox::Ok);
        HookCallbacks::showWarningText(record("x"), &warnings);
        QCOMPARE(shownBoxes, (QStringList{"Skarn Test: 0", "Skarn Test: 1", "Skarn Test: 2",
                                          "Skarn Test: 100", "Skarn Test: x"}));
    }
};

int main(int argc, char *argv[])
{
    QtSingleCoreApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    tst_HookCallbacks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hookcallbacks.moc"
