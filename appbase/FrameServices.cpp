#include "appbase/FrameServices.h"

namespace {
FrameServices *s_frame = nullptr;
}

FrameServices *FrameServices::instance()
{
    return s_frame;
}

void FrameServices::install(FrameServices *frame)
{
    s_frame = frame;
}
