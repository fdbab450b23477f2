#include "pointersettings.h"

#include <windows.h>

namespace {
class WindowsPointerSettings : public PointerSettings
{
public:
    bool setPointerSpeed(int speed) override
    {
        // The speed travels in the pointer argument, as the API wants it.
        return SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                     reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
    bool setDoubleClickTime(int milliseconds) override
    {
        return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, UINT(milliseconds), nullptr,
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
    bool setWheelScrollLines(unsigned lines) override
    {
        return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr,
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
};
} // namespace

std::unique_ptr<PointerSettings> PointerSettings::createSystem()
{
    return std::make_unique<WindowsPointerSettings>();
}
