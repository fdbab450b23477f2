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
#include <memory>

namespace {
// The boxes shown, as "title: text".
QStringList shownBoxes;

void recordBox(QMessageBox *box)
{
    // Another process wrote the text: never shown as markup.
    shownBoxes << box->windowTitle() + ": " +
                      (box->textFormat() == Qt::PlainText ? box->text() : "markup");
}

// The payload must outlive the record.
CopyDataRecord record(quint64 tag, quint32 byteCount, const QByteArray &payload)
{
    CopyDataRecord record;
    record.tag = tag;
    record.byteCount = byteCount;
    record.data = payload.constData();
    record.size = std::size_t(payload.size());
    return record;
}
} // namespace

class tst_HookCallbacks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keysAndButtonsReachTheSceneQueued();
    void warningText_data();
    void warningText();
    void warningFloodShowsOneBoxAtATime();

private:
    QStringList calls() const;

    std::unique_ptr<TestDataFolder> m_folder;
    std::unique_ptr<Widget> m_widget;
    std::unique_ptr<HookCallbacks::WarningBoxes> m_warnings;
};

void tst_HookCallbacks::init()
{
    shownBoxes.clear();
    m_folder = std::make_unique<TestDataFolder>();
    m_widget = std::make_unique<Widget>(nullptr, "qrc:/scenes/recorder.qml");
    QVERIFY(m_widget->view()->rootObject());
    m_widget->setWindowTitle("Skarn Test");
    m_warnings = std::make_unique<HookCallbacks::WarningBoxes>(m_widget.get(), recordBox);
}

void tst_HookCallbacks::cleanup()
{
    m_warnings.reset();
    m_widget.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_folder.reset();
}

QStringList tst_HookCallbacks::calls() const
{
    return m_widget->view()->rootObject()->property("calls").toStringList();
}

void tst_HookCallbacks::keysAndButtonsReachTheSceneQueued()
{
    GlobalInputHooks hooks(nullptr);
    hooks.setKeyboardCallback(HookCallbacks::keyboardToScene, m_widget.get());
    hooks.setMouseCallback(HookCallbacks::mouseToScene, m_widget.get());

    hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, true);
    hooks.mouseMessage(GlobalInputHooks::RightButtonDown, 640, -20);
    hooks.keyboardEvent(0x1C, GlobalInputHooks::Extended, false);
    // Without a context the callbacks do nothing.
    HookCallbacks::keyboardToScene(0x04, true, nullptr);
    HookCallbacks::mouseToScene(0xF0, true, 0, 0, nullptr);
    HookCallbacks::showWarningText(record(HookCallbacks::warningTextTag, 5, "hello"), nullptr);
    // Nothing runs inside the hook: the calls wait for the event loop.
    QVERIFY(calls().isEmpty());
    QTRY_COMPARE(calls(), (QStringList{"detectKeyboard true 88", "detectMouse true 241 640 -20",
                                       "detectKeyboard false 88"}));
    QTest::qWait(50);
    QCOMPARE(calls().size(), 3);
    QVERIFY(shownBoxes.isEmpty());
}

void tst_HookCallbacks::warningText_data()
{
    QTest::addColumn<quint64>("tag");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<quint32>("byteCount");
    QTest::addColumn<QByteArray>("frame"); // another process's, if not the record's own
    QTest::addColumn<QString>("shown");    // empty: no box

    const QByteArray terminated("hello", 6);
    const QByteArray good = QtSingleCoreApplication::encodeCopyData(0x250F, 5, terminated);
    QTest::newRow("count 5") << quint64(0x250F) << terminated << 5u << QByteArray() << "hello";
    QTest::newRow("count 6 counts the terminator")
        << quint64(0x250F) << terminated << 6u << QByteArray() << "";
    QTest::newRow("no terminator sent")
        << quint64(0x250F) << QByteArray("hello") << 5u << QByteArray() << "hello";
    QTest::newRow("count beyond the data")
        << quint64(0x250F) << QByteArray("hello") << 6u << QByteArray() << "";
    QTest::newRow("text ends early")
        << quint64(0x250F) << QByteArray("hel\0lo", 6) << 5u << QByteArray() << "";
    QTest::newRow("other tag") << quint64(0x2510) << terminated << 5u << QByteArray() << "";
    QTest::newRow("tag in the high bits")
        << quint64(0x1250F) << terminated << 5u << QByteArray() << "";
    QTest::newRow("UTF-8") << quint64(0x250F) << QByteArray("gr\xC3\xBC\xC3\x9F\0", 7) << 6u
                           << QByteArray() << QString::fromUtf8("gr\xC3\xBC\xC3\x9F");
    const QByteArray markup = "<b>Text</b><img src=\"/tmp/x.png\">";
    QTest::newRow("markup") << quint64(0x250F) << markup << quint32(markup.size()) << QByteArray()
                            << QString(markup);
    // Frames cut short or with bytes left over are answered, never handled.
    QTest::newRow("frame cut short")
        << quint64() << QByteArray() << 0u << good.left(good.size() - 2) << "";
    QTest::newRow("bytes left over") << quint64() << QByteArray() << 0u << good + "x"
                                     << "";
}

// From a hook (Windows) and from another process through the instance
// socket alike.
void tst_HookCallbacks::warningText()
{
    QFETCH(quint64, tag);
    QFETCH(QByteArray, payload);
    QFETCH(quint32, byteCount);
    QFETCH(QByteArray, frame);
    QFETCH(QString, shown);
    const QStringList expected =
        shown.isEmpty() ? QStringList() : QStringList{"Skarn Test: " + shown};
    if (frame.isEmpty()) {
        HookCallbacks::showWarningText(record(tag, byteCount, payload), m_warnings.get());
        QCOMPARE(shownBoxes, expected);
        shownBoxes.clear();
        frame = QtSingleCoreApplication::encodeCopyData(tag, byteCount, payload);
    }

    auto *app = qobject_cast<QtSingleCoreApplication *>(QCoreApplication::instance());
    GlobalInputHooks hooks(nullptr);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, app, m_warnings.get());
    QSignalSpy messages(app, &QtSingleCoreApplication::messageReceived);
    const QString id = app->id();
    QFuture<bool> sent = QtConcurrent::run([id, frame] {
        InstanceLock lock(id);
        return lock.isRunning() && lock.send(InstanceLock::CopyData, frame, 5000);
    });
    QTRY_VERIFY(sent.isFinished());
    QVERIFY(sent.result());
    QTRY_COMPARE(shownBoxes, expected);
    QTest::qWait(50);
    QCOMPARE(shownBoxes, expected);
    QVERIFY(messages.isEmpty());
}

// One box at a time; three texts wait at most, the newest taking the last
// place.
void tst_HookCallbacks::warningFloodShowsOneBoxAtATime()
{
    int boxDepth = 0;
    int deepestBox = 0;
    HookCallbacks::WarningBoxes *warnings = nullptr;
    // While the first box is up, a hundred more records arrive.
    m_warnings =
        std::make_unique<HookCallbacks::WarningBoxes>(m_widget.get(), [&](QMessageBox *box) {
            deepestBox = qMax(deepestBox, ++boxDepth);
            recordBox(box);
            if (shownBoxes.size() == 1) {
                for (int i = 1; i <= 100; ++i) {
                    const QByteArray text = QByteArray::number(i);
                    HookCallbacks::showWarningText(
                        record(HookCallbacks::warningTextTag, quint32(text.size()), text),
                        warnings);
                }
            }
            --boxDepth;
        });
    warnings = m_warnings.get();
    HookCallbacks::showWarningText(record(HookCallbacks::warningTextTag, 1, "0"), warnings);
    QCOMPARE(shownBoxes,
             (QStringList{"Skarn Test: 0", "Skarn Test: 1", "Skarn Test: 2", "Skarn Test: 100"}));
    QCOMPARE(deepestBox, 1);
    // Afterwards the next text has a box of its own again.
    HookCallbacks::showWarningText(record(HookCallbacks::warningTextTag, 1, "x"), warnings);
    QCOMPARE(shownBoxes.size(), 5);
}

int main(int argc, char *argv[])
{
    QtSingleCoreApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    tst_HookCallbacks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hookcallbacks.moc"
