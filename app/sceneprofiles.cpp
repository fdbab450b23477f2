#include "sceneprofiles.h"

#include <QJSValue>
#include <QQuickItem>
#include <QVariant>

namespace {
QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}
} // namespace

QList<SceneProfiles::Row> SceneProfiles::rows(QQuickItem *root)
{
    QList<Row> list;
    QObject *manager = root ? root->findChild<QObject *>(QStringLiteral("profiles")) : nullptr;
    QVariant result;
    if (!manager || !QMetaObject::invokeMethod(manager, "rows", Q_RETURN_ARG(QVariant, result)))
        return list;
    for (const QVariant &entry : plain(result).toList()) {
        const QVariantMap row = plain(entry).toMap();
        list.append({row.value(QStringLiteral("profileNo")).toInt(),
                     row.value(QStringLiteral("textValue")).toString()});
    }
    return list;
}

int SceneProfiles::active(QQuickItem *root)
{
    return root ? root->property("profileNo").toInt() : 0;
}

bool SceneProfiles::started(QQuickItem *root)
{
    return root && root->property("isPownOn").toBool();
}
