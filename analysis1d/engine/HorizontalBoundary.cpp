#include "analysis1d/engine/HorizontalBoundary.h"

IMPLEMENT_DYNAMIC(HorizontalBoundary, CObject)

HorizontalBoundary::~HorizontalBoundary() = default;
