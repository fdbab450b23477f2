#pragma once

#include <QString>

// Where the program keeps its settings: the root of the store's paths
// ("modules/setting/apConfig.bin").
namespace DataFolder {
// The executable's folder when it holds modules/setting/ (a portable folder,
// the build tree); otherwise the per-user folder, seeded on first use from
// the factory files installed under <prefix>/share/skarn-config/.
QString choose(const QString &executableDir);

// The per-user folder: $XDG_DATA_HOME/skarn-config.
QString userFolder();

// The factory data of an installed program, relative to its bin/ folder.
QString factoryFolder(const QString &executableDir);

// Copies what `factoryDir` has and `userDir` lacks; never overwrites.
void seed(const QString &factoryDir, const QString &userDir);

// Chooses the folder and makes its modules/setting/ if missing. Returns the
// folder. When it cannot be made (a read-only home), a temporary folder with
// a copy of whatever factory files there are instead, removed when the
// program quits. Empty when not even that can be made.
QString enter(const QString &executableDir);

// Whether enter() fell back on the temporary copy.
bool isTemporary();
} // namespace DataFolder
