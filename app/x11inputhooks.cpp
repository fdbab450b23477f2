#include "x11inputhooks.h"

#include "applog.h"
#include "evdevscancodes.h"
#include "globalinputhooks.h"
#include "runtimelibrary.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cstdlib>
#include <optional>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {
// X keycodes are evdev codes shifted by 8.
constexpr std::uint32_t evdevOffset = 8;

// The XInput client library is loaded with the first capture rather than
// with the program: most sessions never capture, and linked it is mapped
// and relocated at every start.
#define SKARN_XINPUT_FUNCTIONS(X)                                                                  \
    X(xcb_input_xi_query_version)                                                                  \
    X(xcb_input_xi_query_version_reply)                                                            \
    X(xcb_input_xi_select_events_checked)                                                          \
    X(xcb_input_xi_get_selected_events)                                                            \
    X(xcb_input_xi_get_selected_events_reply)                                                      \
    X(xcb_input_xi_get_selected_events_masks_iterator)                                             \
    X(xcb_input_event_mask_mask_length)                                                            \
    X(xcb_input_event_mask_mask)                                                                   \
    X(xcb_input_event_mask_next)

struct XInput
{
    xcb_extension_t *id;
#define SKARN_XINPUT_MEMBER(function) decltype(&::function) function;
    SKARN_XINPUT_FUNCTIONS(SKARN_XINPUT_MEMBER)
#undef SKARN_XINPUT_MEMBER
};

const XInput *xinput()
{
    static const std::optional<XInput> loaded = []() -> std::optional<XInput> {
        RuntimeLibrary library("libxcb-xinput.so.0");
        XInput api;
        library.resolve(api.id, "xcb_input_id");
#define SKARN_XINPUT_RESOLVE(function) library.resolve(api.function, #function);
        SKARN_XINPUT_FUNCTIONS(SKARN_XINPUT_RESOLVE)
#undef SKARN_XINPUT_RESOLVE
        if (!library.isComplete()) {
            qCInfo(lcApp) << "No XInput client library:" << RuntimeLibrary::lastError();
            return std::nullopt;
        }
        return api;
    }();
    return loaded ? &*loaded : nullptr;
}

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;
} // namespace

std::unique_ptr<X11InputHooks> X11InputHooks::open()
{
    const XInput *xi = xinput();
    if (!xi)
        return nullptr;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, xi->id);
    XcbReply<xcb_input_xi_query_version_reply_t> version;
    if (extension && extension->present)
        version.reset(xi->xcb_input_xi_query_version_reply(
            connection, xi->xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (!version || version->major_version < 2) {
        qCInfo(lcApp) << "X display without XInput 2: global input capture off";
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return std::unique_ptr<X11InputHooks>(
        new X11InputHooks(connection, screen->root, extension->major_opcode));
}

X11InputHooks::X11InputHooks(xcb_connection_t *connection, std::uint32_t root, std::uint8_t opcode)
    : m_connection(connection), m_root(root), m_opcode(opcode)
{
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11InputHooks::readEvents);
}

X11InputHooks::~X11InputHooks()
{
    delete m_notifier;
    xcb_disconnect(m_connection);
}

bool X11InputHooks::install(Hook hook, GlobalInputHooks &sink)
{
    m_sink = &sink;
    bool &wanted = hook == Keyboard ? m_keyboard : m_mouse;
    wanted = true;
    if (!select()) {
        wanted = false;
        select();
        return false;
    }
    return true;
}

void X11InputHooks::remove(Hook hook)
{
    (hook == Keyboard ? m_keyboard : m_mouse) = false;
    select();
}

bool X11InputHooks::select()
{
    // Never null: open() makes this object only once the library is loaded.
    const XInput *xi = xinput();
    std::uint32_t bits = 0;
    if (m_keyboard)
        bits |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    if (m_mouse)
        bits |=
            XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
    struct
    {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, bits};
    xcb_generic_error_t *error = xcb_request_check(
        m_connection, xi->xcb_input_xi_select_events_checked(m_connection, m_root, 1, &mask.head));
    const bool ok = !error && !xcb_connection_has_error(m_connection);
    std::free(error);
    m_notifier->setEnabled(ok && bits != 0);
    if (ok && bits != 0) {
        readEvents(); // events read while waiting for the check are queued
    } else if (bits == 0) {
        // Whatever arrived before the server took the deselection belongs to
        // no capture: dropped, never handed to the next one.
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            std::free(event);
    }
    return ok;
}

std::uint32_t X11InputHooks::selectedEvents() const
{
    // Never null: open() makes this object only once the library is loaded.
    const XInput *xi = xinput();
    XcbReply<xcb_input_xi_get_selected_events_reply_t> reply(
        xi->xcb_input_xi_get_selected_events_reply(
            m_connection, xi->xcb_input_xi_get_selected_events(m_connection, m_root), nullptr));
    if (!reply)
        return 0;
    std::uint32_t bits = 0;
    xcb_input_event_mask_iterator_t masks =
        xi->xcb_input_xi_get_selected_events_masks_iterator(reply.get());
    for (; masks.rem; xi->xcb_input_event_mask_next(&masks)) {
        const int length = xi->xcb_input_event_mask_mask_length(masks.data);
        if (length > 0)
            bits |= xi->xcb_input_event_mask_mask(masks.data)[0];
    }
    return bits;
}

void X11InputHooks::readEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        handleEvent(event);
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        // A dead connection reads as ready for ever: stop watching it.
        qCWarning(lcApp) << "X connection lost: global input capture off";
        m_notifier->setEnabled(false);
    }
}

void X11InputHooks::handleEvent(const void *data)
{
    const auto *event = static_cast<const xcb_ge_generic_event_t *>(data);
    if ((event->response_type & 0x7F) != XCB_GE_GENERIC || event->extension != m_opcode || !m_sink)
        return;
    // Raw key and button events share one layout.
    const auto *raw = static_cast<const xcb_input_raw_key_press_event_t *>(data);
    switch (event->event_type) {
    case XCB_INPUT_RAW_KEY_PRESS:
    case XCB_INPUT_RAW_KEY_RELEASE: {
        if (!m_keyboard || raw->detail < evdevOffset)
            return;
        const EvdevScanCodes::ScanCode code = EvdevScanCodes::forEvdev(raw->detail - evdevOffset);
        if (code.scan)
            m_sink->keyboardEvent(code.scan,
                                  code.extended ? std::uint32_t(GlobalInputHooks::Extended) : 0u,
                                  event->event_type == XCB_INPUT_RAW_KEY_PRESS);
        return;
    }
    case XCB_INPUT_RAW_BUTTON_PRESS:
    case XCB_INPUT_RAW_BUTTON_RELEASE: {
        const std::uint32_t message =
            buttonMessage(raw->detail, event->event_type == XCB_INPUT_RAW_BUTTON_PRESS);
        if (!m_mouse || !message)
            return;
        // Raw events carry no position: ask where the pointer is.
        XcbReply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
            m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
        m_sink->mouseMessage(message, pointer ? pointer->root_x : 0, pointer ? pointer->root_y : 0);
        return;
    }
    default:
        return;
    }
}

std::uint32_t X11InputHooks::buttonMessage(std::uint32_t button, bool down)
{
    switch (button) {
    case 1:
        return down ? GlobalInputHooks::LeftButtonDown : GlobalInputHooks::LeftButtonUp;
    case 2:
        return down ? GlobalInputHooks::MiddleButtonDown : GlobalInputHooks::MiddleButtonUp;
    case 3:
        return down ? GlobalInputHooks::RightButtonDown : GlobalInputHooks::RightButtonUp;
    default:
        return 0;
    }
}
