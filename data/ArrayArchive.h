#pragma once

// The compact archive form shared by CIntDataArray, CDoubleDataArray and
// CPointArray: an int32 count followed by the raw little-endian values.

#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

namespace ArrayArchive {

template<typename T> void store(CArchive &ar, const std::vector<T> &values)
{
    static_assert(std::is_trivially_copyable_v<T>);
    if (values.size() > size_t(std::numeric_limits<int32_t>::max()))
        throw CArchiveException(CArchiveException::genericException);
    ar << int32_t(values.size());
    ar.Write(values.data(), qint64(values.size() * sizeof(T)));
}

// Appends the stored values to 'values'. Nothing is appended when the input
// is damaged: a negative count is refused, a count larger than the remaining
// input raises endOfFile before anything is allocated, and on a device whose
// size is unknown the values are read in bounded chunks so a damaged count
// cannot make us allocate more than the input actually delivered.
template<typename T> void loadAppend(CArchive &ar, std::vector<T> &values)
{
    static_assert(std::is_trivially_copyable_v<T>);
    int32_t count = 0;
    ar >> count;
    if (count < 0)
        throw CArchiveException(CArchiveException::badIndex);
    ar.ReadValues(values, uint64_t(count));
}

} // namespace ArrayArchive
