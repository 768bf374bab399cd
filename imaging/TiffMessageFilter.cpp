#include "imaging/TiffMessageFilter.h"

#include "imaging/FreeImageErrorTrap.h"

#include <QString>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>

namespace {
// libtiff's handler type; its headers are not a dependency of ours, so the
// two functions are looked up in the libtiff FreeImage has loaded.
using TiffErrorHandler = void (*)(const char *module, const char *format, va_list args);
using SetHandler = TiffErrorHandler (*)(TiffErrorHandler);

void onError(const char *module, const char *format, va_list args)
{
    if (module && std::strcmp(module, "TIFFFieldWithTag") == 0)
        return;
    char text[1024] = {};
    std::vsnprintf(text, sizeof text, format ? format : "", args);
    QString message = QString::fromLocal8Bit(text);
    if (module && *module)
        message = QString::fromLocal8Bit(module) + QStringLiteral(": ") + message;
    FreeImageErrorTrap::report(message);
}

void onWarning(const char *, const char *, va_list) { }

// Installed when the library is loaded, before any picture is read.
[[maybe_unused]] const bool installed = TiffMessageFilter::install();
} // namespace

bool TiffMessageFilter::install()
{
    static const bool done = [] {
        auto setError = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "TIFFSetErrorHandler"));
        auto setWarning
            = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "TIFFSetWarningHandler"));
        if (!setError || !setWarning)
            return false;
        setError(&onError);
        setWarning(&onWarning);
        return true;
    }();
    return done;
}
