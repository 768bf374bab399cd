#pragma once

// The container in which fitted Gaussians pass between the band detector,
// the band measurements and the lane graph. Elements are held by value.

#include "numerics/CGaussian.h"
#include "platform/CArray.h"

class CGaussianArray : public CArray<CGaussian>
{
public:
    CGaussianArray();
    CGaussianArray(const CGaussianArray &other);
    CGaussianArray &operator=(const CGaussianArray &other);
    ~CGaussianArray() override;
};
