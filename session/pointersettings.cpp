#include "pointersettings.h"

int PointerSettings::pointerSpeedForLevel(unsigned level)
{
    // The slowest level still moves the pointer.
    return level == 0 ? 1 : int(2 * level);
}

int PointerSettings::doubleClickTimeForLevel(unsigned level)
{
    return 900 - 70 * int(level);
}
