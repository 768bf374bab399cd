#include "analysis1d/engine/LaneProfileData.h"

#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

IMPLEMENT_SERIAL(LaneProfileData, CObject, VERSIONABLE_SCHEMA | 0)

LaneProfileData::LaneProfileData(RasterImageGS16 *image) : m_pImage(image) { }

LaneProfileData::~LaneProfileData() = default;

void LaneProfileData::Serialize(CArchive &ar)
{
    if (ar.IsLoading()) {
        // The arrays append what they read; a profile is read whole.
        m_CenterLine.RemoveAll();
        m_Background.RemoveAll();
        m_Profile.RemoveAll();
        m_FirstSeries.RemoveAll();
        m_SecondSeries.RemoveAll();
    }
    m_CenterLine.Serialize(ar);
    m_Background.Serialize(ar);
    m_Profile.Serialize(ar);
    m_FirstSeries.Serialize(ar);
    m_SecondSeries.Serialize(ar);
}

void LaneProfileData::SetCenterLine(int x)
{
    m_CenterLine.RemoveAll();
    const int rows = m_pImage ? m_pImage->getHeight() : 0;
    m_CenterLine.vector().assign(size_t(std::max(rows, 0)), x);
}

void LaneProfileData::CalculateProfile(RasterImageGS16 *image, int beamWidth, CIntDataArray *out)
{
    m_pImage = image;
    m_Profile.RemoveAll();
    const int h = int(std::floor(0.5 * beamWidth + 0.5));
    const int width = image ? image->getWidth() : 0;
    const int height = image ? image->getHeight() : 0;
    std::vector<int> &profile = m_Profile.vector();
    profile.reserve(size_t(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        // 64-bit edges: a centre line read from a damaged file may hold any value.
        const int64_t c = m_CenterLine[y];
        const int64_t x0 = std::max<int64_t>(c - h, 0);
        const int64_t x1 = std::min<int64_t>(c + h, width);
        if (x1 <= x0) {
            // The strip misses the image: nothing to average.
            profile.push_back(0);
            continue;
        }
        double sum = 0.0;
        for (int64_t x = x0; x < x1; ++x)
            sum += image->getPixel(int(x), y);
        profile.push_back(int(std::floor(sum / double(x1 - x0) + 0.5)));
    }
    if (out && out != &m_Profile)
        *out = m_Profile;
}

void LaneProfileData::CalculateBackground(const CIntDataArray *profile, int window,
                                          CIntDataArray *out)
{
    const int n = int(std::floor(0.5 * window + 0.5));
    const int size = profile->GetSize();
    if (n >= 1 && size <= n) {
        // The moving minimum is undefined when its window reaches past both ends
        // (the filter refuses it); the whole profile is then the window.
        const int minimum = size > 0 ? profile->GetMin() : 0;
        out->vector().assign(size_t(size), minimum);
        return;
    }
    if (out != profile)
        out->RemoveAll();
    profile->GetMinFilter(std::max(n, 0), *out);
}
