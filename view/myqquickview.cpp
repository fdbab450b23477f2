#include "myqquickview.h"

#include "hid_thread.h"
#include "settingsstore.h"

#include <QFocusEvent>
#include <QMetaMethod>
#include <QQuickItem>

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent)
{
    m_store = new SettingsStore(this);

    // Whatever the scene leaves transparent shows the desktop.
    setClearColor(Qt::transparent);
    setAttribute(Qt::WA_AlwaysStackOnTop);
}

myQQuickView::~myQQuickView() = default;

void myQQuickView::invokeScene(const char *name, const QVariantList &args, Delivery delivery)
{
    const QByteArray function(name);
    if (delivery == Delivery::Synchronous) {
        callSceneNow(function, args);
        return;
    }
    // A functor queued on this object runs on the GUI thread after the events
    // already posted, so calls keep the order in which they were requested.
    QMetaObject::invokeMethod(
        this, [this, function, args] { callSceneNow(function, args); }, Qt::QueuedConnection);
}

void myQQuickView::callSceneNow(const QByteArray &name, const QVariantList &args)
{
    QObject *root = rootObject();
    if (!root)
        return;
    const QMetaObject *meta = root->metaObject();
    QMetaMethod method;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod candidate = meta->method(i);
        if (candidate.name() == name && candidate.parameterCount() == args.size()) {
            method = candidate;
            break;
        }
    }
    if (!method.isValid() || args.size() > 10)
        return;

    // Scene functions with typed parameters take those types; untyped ones
    // take variants. Convert each argument to what the function declares.
    QVariantList converted;
    converted.reserve(args.size());
    for (int i = 0; i < args.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        QVariant value = args.at(i);
        if (type.id() != QMetaType::QVariant && !value.convert(type))
            return;
        converted.append(value);
    }

    QGenericArgument argv[10];
    for (int i = 0; i < converted.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        const void *data = type.id() == QMetaType::QVariant
                               ? static_cast<const void *>(&converted.at(i))
                               : converted.at(i).constData();
        argv[i] = QGenericArgument(type.name(), data);
    }
    QVariant result;
    if (method.returnMetaType().id() == QMetaType::QVariant) {
        method.invoke(root, Qt::DirectConnection, Q_RETURN_ARG(QVariant, result), argv[0], argv[1],
                      argv[2], argv[3], argv[4], argv[5], argv[6], argv[7], argv[8], argv[9]);
    } else {
        method.invoke(root, Qt::DirectConnection, argv[0], argv[1], argv[2], argv[3], argv[4],
                      argv[5], argv[6], argv[7], argv[8], argv[9]);
    }
}

void myQQuickView::initUI()
{
    invokeScene("initUI");
}

void myQQuickView::runUI()
{
    invokeScene("run");
}

void myQQuickView::setBusy(int busyTime)
{
    invokeScene("setProtectUI", {busyTime}, Delivery::Synchronous);
}

void myQQuickView::setCurrentDPI(int dpiValue)
{
    // Called from the device listener's thread: always queued to the GUI.
    invokeScene("setCurrentDPI", {dpiValue}, Delivery::Queued);
}

QByteArray myQQuickView::deviceProfile(int n) const
{
    if (n < 0 || n >= deviceProfileCount)
        return {};
    const auto &block = m_deviceProfiles[std::size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

void myQQuickView::clearHidBusy()
{
    if (m_hid)
        m_hid->setLinkFree(true);
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (m_hid && profileNo < deviceProfileCount)
        m_hid->hid560_8CH_readProfile(m_deviceProfiles[profileNo].data(), uchar(profileNo));
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    update();
    // The base class hands focus on to the scene's window; without it text
    // fields in the scene would never receive keys.
    QQuickWidget::focusInEvent(event);
    event->accept();
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    return m_store->data(key.toString(), isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return m_store->globalData(key.toString());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return m_store->dataList(key.toString(), isRecovery);
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    m_store->setData(key.toString(), data);
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    m_store->setGlobalData(key.toString(), tmpdata);
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    m_store->setDataList(key.toString(), datalist);
}

void myQQuickView::resetApconfig()
{
    m_store->resetGlobalSettings();
}
