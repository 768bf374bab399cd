// The user's ladder library file read, then written back as the ladder
// dialog does when it closes.

#include "fuzz/FuzzEnvironment.h"

#include "analysis1d/calibration/MWLadderLibrary.h"
#include "platform/Exceptions.h"

#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &environment = FuzzEnvironment::instance();
    const QString path = environment.writeScratch(data, size, QStringLiteral("dat"));
    MWLadderLibrary library(path);
    try {
        library.Load();
        library.Save();
    } catch (const CException &) {
    } catch (const std::bad_alloc &) {
    }
    return 0;
}
