// An ".ovl" overlay template loaded onto a document that holds a picture, as
// "Load Overlay Template" does, the analysis it may bring included.

#include "fuzz/FuzzEnvironment.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "imaging/CDrawImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &environment = FuzzEnvironment::instance();
    const QString path = environment.writeScratch(data, size, QStringLiteral("ovl"));
    Analysis1DDoc document;
    document.Add(FuzzEnvironment::makeGelPicture().release());
    environment.prompts().QueueFile(path);
    document.OnFileLoadOverlay();
    environment.prompts().Clear();
    return 0;
}
