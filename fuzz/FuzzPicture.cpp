// A picture decoded from memory by the image object (the format found from
// the bytes), then read out as the analysis reads it.

#include "fuzz/FuzzEnvironment.h"

#include "imaging/TVFImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment::instance();
    TVFImage image;
    if (image.Load(data, static_cast<unsigned long>(size)) && image.isValid())
        image.getRasterImage();
    return 0;
}
