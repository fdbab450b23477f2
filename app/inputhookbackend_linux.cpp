#include "eventfilterinputhooks.h"
#include "inputhookbackend.h"
#include "x11inputhooks.h"

std::unique_ptr<InputHookBackend> makePlatformInputHookBackend()
{
    if (std::unique_ptr<X11InputHooks> x11 = X11InputHooks::open())
        return x11;
    return std::make_unique<EventFilterInputHooks>();
}
