#pragma once

// One Gaussian peak of a lane profile: y(x) = amplitude * exp(-((x - center) / width)^2).
// The width is sqrt(2) times the standard deviation; center is an index into the
// profile the peak belongs to.

#include "platform/CObject.h"

#include <cstdint>

class QIODevice;

class CGaussian : public CObject
{
    DECLARE_DYNCREATE(CGaussian)
public:
    CGaussian() = default;
    CGaussian(int amplitude, int center, int width);
    CGaussian(const CGaussian &other) = default;
    CGaussian &operator=(const CGaussian &other) = default;
    ~CGaussian() override;

    // Gaussians travel in arrays and the 12-byte form below; the archive form is empty.
    void Serialize(CArchive &ar) override;
    void AssertValid() const override;

    int GetAmplitude() const { return m_amplitude; }
    int GetCenter() const { return m_center; }
    int GetWidth() const { return m_width; }

    // The peak's value at profile position x, truncated toward zero. The
    // arithmetic mirrors the fitting code (offset in float, exponential in
    // double, product rounded to float) so the lane graph and the fit
    // coefficient see the same integers.
    int EvaluateAt(int x) const;

    // Amplitude, center, width as 32-bit little-endian integers (12 bytes).
    // Writing raises CFileException when the device takes fewer bytes; reading
    // raises CArchiveException(endOfFile) on a short read and then leaves the
    // peak unchanged.
    void WriteV1_0(QIODevice *file) const;
    void ReadV1_0(QIODevice *file);

private:
    int32_t m_amplitude = 0;
    int32_t m_center = 0;
    int32_t m_width = 1;
};
