#include "numerics/CGaussianArray.h"

CGaussianArray::CGaussianArray() = default;

CGaussianArray::CGaussianArray(const CGaussianArray &other) = default;

CGaussianArray &CGaussianArray::operator=(const CGaussianArray &other) = default;

CGaussianArray::~CGaussianArray() = default;
