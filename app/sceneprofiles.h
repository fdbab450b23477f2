#pragma once

#include <QList>
#include <QString>

class QQuickItem;

// The profile list as the scene's profile manager holds it, for the tray
// menu and the command line.
namespace SceneProfiles {
struct Row
{
    int number = -1; // 0-based; shown as number + 1
    QString name;
};

QList<Row> rows(QQuickItem *root);
// The active profile number of the scene.
int active(QQuickItem *root);
// True once the scene's start-up has run (the profile list exists).
bool started(QQuickItem *root);
} // namespace SceneProfiles
