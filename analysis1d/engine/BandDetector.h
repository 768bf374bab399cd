#pragma once

// Finds the bands of one lane: peaks of the lane's intensity profile above a
// background, the Gaussian decomposition of the profile, and for each peak the
// column across the lane where the band is centred. Lives for one lane build.
//
// A candidate's record (BandData) holds: the centre (row of the peak; column
// once located across), the rectangle (top and bottom: the peak's upper and
// lower foot rows; left and right once located), the intensity class 1..5,
// the profile value at the peak, the Gaussian half-height width and fit
// coefficient, and the valid flag (set when a lateral maximum was found).

#include "analysis1d/engine/BandData.h"
#include "data/CIntDataArray.h"
#include "numerics/CGaussianArray.h"
#include "platform/CObject.h"

#include <vector>

class LaneProfileData;
class RasterImageGS16;

class BandDetector : public CObject
{
    DECLARE_DYNAMIC(BandDetector)

public:
    // Where one band lies along a profile (profile indices).
    struct BandSpan
    {
        int peak = 0;  // p: the peak row
        int start = 0; // s: first row
        int end = 0;   // e: last row
    };
    using GaussianFitter = void (*)(const CIntDataArray &segment, const CGaussianArray &initial,
                                    CGaussianArray &fitted);

    // Neither is owned; both must outlive the detector.
    BandDetector(LaneProfileData *profileData, RasterImageGS16 *image);
    BandDetector(const BandDetector &) = delete;
    BandDetector &operator=(const BandDetector &) = delete;
    ~BandDetector() override;

    // Background, candidates at 'threshold' (a fraction of the image's largest
    // value), the Gaussian decomposition and each candidate's Gaussian measures.
    void FindCandidates(double threshold);
    // Candidates from the profile: every local maximum of the smoothed, clipped
    // profile rising at least threshold x largest value above one of its feet.
    void FindPeaks(double threshold);
    // The profile's background: a moving minimum whose window follows the
    // widths of the faint peaks (FindPeaks at 0.005).
    void ComputeBackground();
    // The Gaussians of the profile above the background, group by group of
    // candidates.
    void DecomposeGaussians();
    // Half-height width and fit coefficient of candidate k from the Gaussian
    // nearest to it.
    void MeasureGaussian(int k);
    // Searches candidate k's row across the lane for the band's centre column;
    // sets the centre x, left, right and the valid flag.
    void LocateAcross(int k, double exampleWidth);
    void LocateAllAcross(double exampleWidth);

    int GetCandidateCount() const { return m_count; }
    // A copy of candidate 'index'; CInvalidArgException outside 0..count - 1.
    BandData GetCandidate(int index) const;
    const CGaussianArray &GetGaussians() const { return m_Gaussians; }

    // Fits the widths of the 'initial' Gaussians (centres are 0-based indices
    // into 'segment'; amplitudes and centres stay fixed) to the segment by
    // Levenberg-Marquardt. 'fitted' receives the Gaussians with a positive
    // width and non-negative amplitude; with no initial Gaussian it is left
    // untouched. A failed fit raises CTextException("Gaussian fitting falied.")
    // and leaves 'fitted' untouched.
    static void FitGaussians(const CIntDataArray &segment, const CGaussianArray &initial,
                             CGaussianArray &fitted);

    // The decomposition itself: the profile above the background, h(x) =
    // max(0, profile - background), is cut into segments between groups of
    // bands whose feet touch the background, and each segment is fitted with
    // one Gaussian per band. 'out' is emptied first. A group whose fit fails
    // contributes nothing; a row outside the arrays raises CInvalidArgException.
    // 'fitter' is FitGaussians unless a caller supplies another.
    static void DecomposeProfile(const CIntDataArray &profile, const CIntDataArray &background,
                                 const std::vector<BandSpan> &bands, CGaussianArray &out,
                                 GaussianFitter fitter = &BandDetector::FitGaussians);

private:
    int imageHeight() const;
    int maxPixelValue() const;

    LaneProfileData *m_pProfileData; // not owned
    RasterImageGS16 *m_pImage;       // not owned
    // One slot per image row, so recording a candidate never reallocates; the
    // first m_count slots hold the candidates, top to bottom.
    std::vector<BandData> m_candidates;
    int m_count = 0;
    CGaussianArray m_Gaussians;
};
