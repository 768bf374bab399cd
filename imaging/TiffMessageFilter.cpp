#include "imaging/TiffMessageFilter.h"

#include <cstdarg>
#include <cstring>
#include <dlfcn.h>

namespace {
// libtiff's handler type; its headers are not a dependency of ours, so the
// two functions are looked up in the libtiff FreeImage has loaded.
using TiffErrorHandler = void (*)(const char *module, const char *format, va_list args);
using SetHandler = TiffErrorHandler (*)(TiffErrorHandler);

TiffErrorHandler previousHandler = nullptr;

void filterMessage(const char *module, const char *format, va_list args)
{
    if (module && std::strcmp(module, "TIFFFieldWithTag") == 0)
        return;
    if (previousHandler)
        previousHandler(module, format, args);
}

// Installed when the library is loaded, before any picture is read.
[[maybe_unused]] const bool installed = TiffMessageFilter::install();
} // namespace

bool TiffMessageFilter::install()
{
    static const bool done = [] {
        auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "TIFFSetErrorHandler"));
        if (!set)
            return false;
        previousHandler = set(&filterMessage);
        return true;
    }();
    return done;
}
