#pragma once

#include <dlfcn.h>

// A system library loaded when first needed instead of linked, so that it
// costs nothing to a start that never uses it; it stays loaded for the life
// of the program. What the program uses of it is resolved by name.
class RuntimeLibrary
{
public:
    explicit RuntimeLibrary(const char *file) : m_handle(dlopen(file, RTLD_NOW | RTLD_LOCAL)) {}

    // Why the last load or lookup failed.
    static const char *lastError() { return dlerror(); }

    // Points `symbol` (a function or object pointer) at the library's `name`.
    template<typename Pointer> void resolve(Pointer &symbol, const char *name)
    {
        symbol = m_handle ? reinterpret_cast<Pointer>(dlsym(m_handle, name)) : nullptr;
        m_complete = m_complete && symbol != nullptr;
    }
    // True when loaded and every name resolved.
    bool isComplete() const { return m_handle != nullptr && m_complete; }

private:
    void *m_handle;
    bool m_complete = true;
};
