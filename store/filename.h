#pragma once

#include <QString>

namespace FileName {
// Whether `name` can stand as a file's base name inside its folder without
// reaching outside it: not empty, not "." or "..", no path separator and no
// control character.
bool isPlain(const QString &name);
} // namespace FileName
