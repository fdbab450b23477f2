#include "eventfilterinputhooks.h"
#include "inputhookbackend.h"
#include "x11inputhooks.h"

namespace {
// Chooses at the first capture: the X connection of our own and its
// XInput 2 queries cost every start a round trip to the server and the
// extension's code in memory, for a capture most sessions never run.
class LinuxInputHooks final : public InputHookBackend
{
public:
    const char *name() const override { return m_chosen ? m_chosen->name() : "not chosen"; }
    bool install(Hook hook, GlobalInputHooks &sink) override
    {
        if (!m_chosen) {
            m_chosen = X11InputHooks::open();
            if (!m_chosen)
                m_chosen = std::make_unique<EventFilterInputHooks>();
        }
        return m_chosen->install(hook, sink);
    }
    void remove(Hook hook) override
    {
        if (m_chosen)
            m_chosen->remove(hook);
    }

private:
    std::unique_ptr<InputHookBackend> m_chosen;
};
} // namespace

std::unique_ptr<InputHookBackend> makePlatformInputHookBackend()
{
    return std::make_unique<LinuxInputHooks>();
}
