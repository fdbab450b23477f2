#pragma once

#include <QString>

namespace FileReplace {
// Replaces `target` with a copy of `source` without ever destroying the old
// content first: the copy is written to a temporary file in the target's
// folder and renamed over the target. A missing or unreadable source, or a
// failure while writing, leaves the target exactly as it was. The new file
// is always newer than the one it replaces, so readers that cache files by
// modification time see the change.
bool copyOver(const QString &source, const QString &target);
} // namespace FileReplace
