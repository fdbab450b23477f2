#include "globalinputhooks.h"
#include "hookcallbacks.h"
#include "instancelock.h"
#include "myqquickview.h"
#include "qtsinglecoreapplication.h"
#include "testdatafolder.h"
#include "widget.h"

#include <QMessageBox>
#include <QPushButton>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent>
#include <memory>

namespace {
struct ShownBox
{
    QString title;
    QString text;
};

QList<ShownBox> shownBoxes;

void recordBox(QMessageBox *box)
{
    shownBoxes.append({box->windowTitle(), box->text()});
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
    void warningTextFromAnotherProcess();
    void warningBoxLooksRight();
    void warningFloodShowsOneBoxAtATime();

private:
    QStringList calls() const;
    bool sendFromAnotherCopy(quint32 kind, const QByteArray &payload);

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

// A second copy of the program talks to this one over the instance socket;
// it waits for the answer, so it runs on a thread of its own.
bool tst_HookCallbacks::sendFromAnotherCopy(quint32 kind, const QByteArray &payload)
{
    auto *app = qobject_cast<QtSingleCoreApplication *>(QCoreApplication::instance());
    const QString id = app->id();
    QFuture<bool> sent = QtConcurrent::run([id, kind, payload] {
        InstanceLock lock(id);
        return lock.isRunning() && lock.send(kind, payload, 5000);
    });
    QDeadlineTimer deadline(6000);
    while (!sent.isFinished() && !deadline.hasExpired())
        QTest::qWait(10);
    return sent.isFinished() && sent.result();
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
    QTest::addColumn<QString>("shown"); // empty: no box

    const QByteArray terminated("hello", 6);
    QTest::newRow("count 5") << quint64(0x250F) << terminated << 5u << "hello";
    QTest::newRow("count 6 counts the terminator") << quint64(0x250F) << terminated << 6u << "";
    QTest::newRow("no terminator sent") << quint64(0x250F) << QByteArray("hello") << 5u << "hello";
    QTest::newRow("count beyond the data") << quint64(0x250F) << QByteArray("hello") << 6u << "";
    QTest::newRow("text ends early") << quint64(0x250F) << QByteArray("hel\0lo", 6) << 5u << "";
    QTest::newRow("other tag") << quint64(0x2510) << terminated << 5u << "";
    QTest::newRow("tag in the high bits") << quint64(0x1250F) << terminated << 5u << "";
    QTest::newRow("UTF-8") << quint64(0x250F) << QByteArray("gr\xC3\xBC\xC3\x9F\0", 7) << 6u
                           << QString::fromUtf8("gr\xC3\xBC\xC3\x9F");
}

void tst_HookCallbacks::warningText()
{
    QFETCH(quint64, tag);
    QFETCH(QByteArray, payload);
    QFETCH(quint32, byteCount);
    QFETCH(QString, shown);

    HookCallbacks::showWarningText(record(tag, byteCount, payload), m_warnings.get());
    if (shown.isEmpty()) {
        QVERIFY(shownBoxes.isEmpty());
        return;
    }
    QCOMPARE(shownBoxes.size(), 1);
    QCOMPARE(shownBoxes.first().title, QStringLiteral("Skarn Test"));
    QCOMPARE(shownBoxes.first().text, shown);
}

// Records cut short or with bytes left over are answered but never handled;
// a record whose count includes the terminator shows no box.
void tst_HookCallbacks::warningTextFromAnotherProcess()
{
    auto *app = qobject_cast<QtSingleCoreApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    QVERIFY(!app->isRunning());
    GlobalInputHooks hooks(nullptr);
    hooks.setCopyDataHandler(HookCallbacks::showWarningText, app, m_warnings.get());
    QSignalSpy records(app, &QtSingleCoreApplication::copyDataReceived);
    QSignalSpy messages(app, &QtSingleCoreApplication::messageReceived);

    const QByteArray text("hello", 6);
    const QByteArray good = QtSingleCoreApplication::encodeCopyData(0x250F, 5, text);
    for (const QByteArray &payload :
         {good.left(good.size() - 2), good + "x",
          QtSingleCoreApplication::encodeCopyData(0x250F, 6, text), good})
        QVERIFY(sendFromAnotherCopy(InstanceLock::CopyData, payload));
    QTRY_COMPARE(shownBoxes.size(), 1);
    QCOMPARE(shownBoxes.first().text, QStringLiteral("hello"));
    QCOMPARE(shownBoxes.first().title, QStringLiteral("Skarn Test"));
    QTRY_COMPARE(records.size(), 2);
    QCOMPARE(records.last().at(0).toULongLong(), 0x250Full);
    QCOMPARE(records.last().at(1).toUInt(), 5u);
    QCOMPARE(records.last().at(2).toByteArray(), text);
    QVERIFY(messages.isEmpty());
    QTest::qWait(50);
    QCOMPARE(shownBoxes.size(), 1);
}

void tst_HookCallbacks::warningBoxLooksRight()
{
    // Markup from another process is shown as the characters it is.
    const QString text = "<b>Text</b><a href=\"x\">x</a><img src=\"/tmp/x.png\">";
    std::unique_ptr<QMessageBox> box(HookCallbacks::makeWarningBox("Title", text));
    QCOMPARE(box->windowTitle(), QStringLiteral("Title"));
    QCOMPARE(box->text(), text);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!box->parent());
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
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
    QStringList texts;
    for (const ShownBox &box : std::as_const(shownBoxes))
        texts.append(box.text);
    QCOMPARE(texts, (QStringList{"0", "1", "2", "100"}));
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
