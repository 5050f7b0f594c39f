#include "platform/fluid_library.h"

#include <dlfcn.h>
#include <initializer_list>

namespace {
const FluidLibrary* load() {
    void* handle = nullptr;
    for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so"})
        if ((handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) != nullptr)
            break;
    if (!handle)
        return nullptr;
    static FluidLibrary library;
    bool complete = true;
#define QUILLET_FLUID_RESOLVE(name)                                                                                    \
    library.name = reinterpret_cast<decltype(library.name)>(::dlsym(handle, #name));                                   \
    complete = complete && library.name;
    QUILLET_FLUID_FUNCTIONS(QUILLET_FLUID_RESOLVE)
#undef QUILLET_FLUID_RESOLVE
    return complete ? &library : nullptr;
}
} // namespace

const FluidLibrary* fluidLibrary() {
    static const FluidLibrary* const library = load();
    return library;
}
