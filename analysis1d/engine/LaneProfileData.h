#pragma once

// The intensity profile of one lane and what goes with it: the centre line it is
// taken along, the background under it and two working series of the band
// detector. Lives for one lane build; the finished lane keeps copies of the
// centre line, profile and background.

#include "data/CDoubleDataArray.h"
#include "data/CIntDataArray.h"
#include "platform/CObject.h"

class RasterImageGS16;

class LaneProfileData : public CObject
{
    DECLARE_SERIAL(LaneProfileData)

public:
    explicit LaneProfileData(RasterImageGS16 *image = nullptr);
    LaneProfileData(const LaneProfileData &other) = default;
    LaneProfileData &operator=(const LaneProfileData &other) = default;
    ~LaneProfileData() override;

    // The five arrays in field order: centre line, background, profile, first
    // series, second series (each in its own compact form). Loading replaces them.
    void Serialize(CArchive &ar) override;

    RasterImageGS16 *GetImage() const { return m_pImage; }
    void SetImage(RasterImageGS16 *image) { m_pImage = image; }

    // A straight centre line at column x: one entry per row of the image (none
    // without an image). Replaces the previous line.
    void SetCenterLine(int x);
    // A copy of the centre line.
    CIntDataArray GetCenterLine() const { return m_CenterLine; }

    // Profile down the centre line: for every row the rounded mean of the strip
    // of 2h columns around the centre (h left of it, h - 1 right of it), h =
    // floor(0.5 * beamWidth + 0.5), clipped to the image. A row whose strip lies
    // wholly outside the image gives 0. The result becomes this object's profile
    // and, when out is given, is also copied there. The image becomes this
    // object's image. A row without a centre-line entry raises CInvalidArgException.
    void CalculateProfile(RasterImageGS16 *image, int beamWidth, CIntDataArray *out = nullptr);

    // out := moving minimum of the profile with half-width floor(0.5 * window + 0.5).
    // A window reaching past both ends of the profile gives every row the profile's
    // minimum (out may be profile).
    static void CalculateBackground(const CIntDataArray *profile, int window, CIntDataArray *out);

    CIntDataArray *GetCenterLineArray() { return &m_CenterLine; }
    CIntDataArray *GetBackground() { return &m_Background; }
    CIntDataArray *GetProfile() { return &m_Profile; }
    CDoubleDataArray *GetFirstSeries() { return &m_FirstSeries; }
    CDoubleDataArray *GetSecondSeries() { return &m_SecondSeries; }
    const CIntDataArray *GetBackground() const { return &m_Background; }
    const CIntDataArray *GetProfile() const { return &m_Profile; }

private:
    RasterImageGS16 *m_pImage = nullptr; // not owned
    CIntDataArray m_CenterLine; // x of the profile centre per row
    CIntDataArray m_Background; // filled by the band detector
    CIntDataArray m_Profile;
    CDoubleDataArray m_FirstSeries; // working series of the band detector
    CDoubleDataArray m_SecondSeries;
};
