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

CopyDataRecord record(const QByteArray &payload, quint32 byteCount, quint64 tag = 0x250F)
{
    return CopyDataRecord{tag, byteCount, payload.constData(), std::size_t(payload.size())};
}
} // namespace

class tst_HookCallbacks : public QObject
{
    Q_OBJECT

    TestDataFolder m_folder;
    Widget m_widget{nullptr, "qrc:/scenes/recorder.qml"};

private slots:
    void init()
    {
        shownBoxes.clear();
        m_widget.setWindowTitle("Skarn Test");
    }

    // Nothing runs inside the hook: the calls wait for the event loop.
    // Without a context the callbacks do nothing.
    void keysAndButtonsReachTheSceneQueued()
    {
        HookCallbacks::keyboardToScene(0x58, true, &m_widget);
        HookCallbacks::mouseToScene(0xF1, true, 640, -20, &m_widget);
        HookCallbacks::keyboardToScene(0x58, false, &m_widget);
        HookCallbacks::keyboardToScene(0x04, true, nullptr);
        HookCallbacks::mouseToScene(0xF0, true, 0, 0, nullptr);
        HookCallbacks::showWarningText(record("hello", 5), nullptr);
        QObject *scene = m_widget.view()->rootObject();
        QVERIFY(scene->property("calls").toStringList().isEmpty());
        QTest::qWait(50);
        QCOMPARE(scene->property("calls").toStringList(),
                 (QStringList{"detectKeyboard true 88", "detectMouse true 241 640 -20",
                              "detectKeyboard false 88"}));
        QVERIFY(shownBoxes.isEmpty());
    }

    void warningText_data()
    {
        QTest::addColumn<quint64>("tag");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<quint32>("byteCount");
        QTest::addColumn<int>("cut");       // bytes the frame lacks (+) or has left over (-)
        QTest::addColumn<QString>("shown"); // empty: no box
        const QByteArray hello("hello", 6);
        const QByteArray markup = "<b>Text</b><img src=\"/tmp/x.png\">";
        QTest::newRow("count 5") << 0x250FULL << hello << 5u << 0 << "hello";
        QTest::newRow("count 6 counts the terminator") << 0x250FULL << hello << 6u << 0 << "";
        QTest::newRow("no terminator sent") << 0x250FULL << hello.chopped(1) << 5u << 0 << "hello";
        QTest::newRow("count beyond the data") << 0x250FULL << hello.chopped(1) << 6u << 0 << "";
        QTest::newRow("text ends early") << 0x250FULL << QByteArray("hel\0lo", 6) << 5u << 0 << "";
        QTest::newRow("other tag") << 0x2510ULL << hello << 5u << 0 << "";
        QTest::newRow("tag in the high bits") << 0x1250FULL << hello << 5u << 0 << "";
        QTest::newRow("UTF-8") << 0x250FULL << QByteArray("gr\xC3\xBC\xC3\x9F\0", 7) << 6u << 0
                               << QString::fromUtf8("gr\xC3\xBC\xC3\x9F");
        QTest::newRow("markup") << 0x250FULL << markup << quint32(markup.size()) << 0
                                << QString(markup);
        // Frames cut short or with bytes left over are answered, never handled.
        QTest::newRow("frame cut short") << 0x250FULL << hello << 5u << 2 << "";
        QTest::newRow("bytes left over") << 0x250FULL << hello << 5u << -1 << "";
    }
    // From a hook (Windows) and from another process through the instance
    // socket alike.
    void warningText()
    {
        QFETCH(quint64, tag);
        QFETCH(QByteArray, payload);
        QFETCH(quint32, byteCount);
        QFETCH(int, cut);
        QFETCH(QString, shown);
        const QStringList expected =
            shown.isEmpty() ? QStringList() : QStringList{"Skarn Test: " + shown};
        HookCallbacks::WarningBoxes warnings(&m_widget, recordBox);
        if (cut == 0) {
            HookCallbacks::showWarningText(record(payload, byteCount, tag), &warnings);
            QCOMPARE(shownBoxes, expected);
            shownBoxes.clear();
        }
        QByteArray frame = QtSingleCoreApplication::encodeCopyData(tag, byteCount, payload);
        frame = cut < 0 ? frame + "x" : frame.chopped(cut);
        auto *app = qobject_cast<QtSingleCoreApplication *>(QCoreApplication::instance());
        GlobalInputHooks hooks(nullptr);
        hooks.setCopyDataHandler(HookCallbacks::showWarningText, app, &warnings);
        QSignalSpy messages(app, &QtSingleCoreApplication::messageReceived);
        QFuture<bool> sent = QtConcurrent::run([id = app->id(), frame] {
            InstanceLock lock(id);
            return lock.isRunning() && lock.send(InstanceLock::CopyData, frame, 5000);
        });
        QTRY_VERIFY(sent.isFinished());
        QVERIFY(sent.result());
        QTest::qWait(50);
        QCOMPARE(shownBoxes, expected);
        QVERIFY(messages.isEmpty());
    }

    // One box at a time; three texts wait at most, the newest taking the
    // last place. Afterwards the next text has a box of its own again.
    void warningFloodShowsOneBoxAtATime()
    {
        int boxDepth = 0;
        int deepestBox = 0;
        HookCallbacks::WarningBoxes *self = nullptr;
        HookCallbacks::WarningBoxes warnings(&m_widget, [&](QMessageBox *box) {
            deepestBox = qMax(deepestBox, ++boxDepth);
            recordBox(box);
            for (int i = 1; shownBoxes.size() == 1 && i <= 100; ++i) { // while the first is up
                const QByteArray text = QByteArray::number(i);
                HookCallbacks::showWarningText(record(text, quint32(text.size())), self);
            }
            --boxDepth;
        });
        self = &warnings;
        HookCallbacks::showWarningText(record("0", 1), self);
        HookCallbacks::showWarningText(record("x", 1), self);
        QCOMPARE(shownBoxes, (QStringList{"Skarn Test: 0", "Skarn Test: 1", "Skarn Test: 2",
                                          "Skarn Test: 100", "Skarn Test: x"}));
        QCOMPARE(deepestBox, 1);
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
