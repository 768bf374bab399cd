#include "analysis1d/engine/BandDetector.h"

#include "analysis1d/engine/LaneProfileData.h"
#include "data/CDoubleDataArray.h"
#include "imaging/RasterImageGS16.h"
#include "numerics/LevenbergMarquardt.h"
#include "numerics/MathTVR.h"
#include "numerics/NRUtil.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>

IMPLEMENT_DYNAMIC(BandDetector, CObject)

namespace {

// The work storage of one fit, 1-based as the fitting routines want it,
// released on every way out.
class FitStorage
{
public:
    FitStorage(int ndata, int ma)
        : m_ndata(ndata), m_ma(ma), x(vector(1, ndata)), y(vector(1, ndata)),
          sig(vector(1, ndata)), a(vector(1, ma)), ia(ivector(1, ma)),
          covar(matrix(1, ma, 1, ma)), alpha(matrix(1, ma, 1, ma))
    {
    }
    FitStorage(const FitStorage &) = delete;
    FitStorage &operator=(const FitStorage &) = delete;
    ~FitStorage()
    {
        free_matrix(alpha, 1, m_ma, 1, m_ma);
        free_matrix(covar, 1, m_ma, 1, m_ma);
        free_ivector(ia, 1, m_ma);
        free_vector(a, 1, m_ma);
        free_vector(sig, 1, m_ndata);
        free_vector(y, 1, m_ndata);
        free_vector(x, 1, m_ndata);
    }

private:
    int m_ndata;
    int m_ma;

public:
    float *x;
    float *y;
    float *sig;
    float *a;
    int *ia;
    float **covar;
    float **alpha;
};

// A fitted parameter truncated toward zero; false when it has no int value
// (a diverged fit), so the Gaussian is dropped rather than read as garbage.
bool truncated(float value, int &out)
{
    if (!std::isfinite(value) || value >= 2147483648.0f || value < -2147483648.0f)
        return false;
    out = int(value);
    return true;
}

int floorHalfUp(double v) { return int(std::floor(v + 0.5)); }

} // namespace

BandDetector::BandDetector(LaneProfileData *profileData, RasterImageGS16 *image)
    : m_pProfileData(profileData), m_pImage(image)
{
}

BandDetector::~BandDetector() = default;

int BandDetector::imageHeight() const { return m_pImage->getHeight(); }

int BandDetector::maxPixelValue() const { return m_pImage->getMaxPixelValue(); }

BandData BandDetector::GetCandidate(int index) const
{
    if (index < 0 || index >= m_count)
        throw CInvalidArgException("BandDetector::GetCandidate: index out of range");
    return m_candidates[size_t(index)];
}

void BandDetector::FindCandidates(double threshold)
{
    CIntDataArray *background = m_pProfileData->GetBackground();
    background->RemoveAll();
    background->SetSize(imageHeight());
    ComputeBackground();
    FindPeaks(threshold);
    DecomposeGaussians();
    for (int k = 0; k < m_count; ++k)
        MeasureGaussian(k);
}

void BandDetector::FindPeaks(double threshold)
{
    const CIntDataArray &profile = *m_pProfileData->GetProfile();
    const int H = imageHeight();
    const int M = maxPixelValue();

    m_candidates.assign(size_t(std::max(H, 0)), BandData());
    m_count = 0;
    if (H <= 0)
        return;

    // The profile clipped at 80 % of full scale, so saturated bands still
    // show as single peaks, then smoothed three times.
    const int clip = int(0.8 * double(M));
    std::vector<int> a(static_cast<size_t>(H));
    for (int y = 0; y < H; ++y)
        a[size_t(y)] = std::min(clip, profile.GetAt(y));
    for (int pass = 0; pass < 3; ++pass) {
        const std::vector<int> b = a;
        for (int y = 1; y < H - 1; ++y) {
            const double sum = double(b[size_t(y + 1)]) + double(a[size_t(y - 1)]);
            a[size_t(y)] = int((sum * 0.5 + double(b[size_t(y)])) * 0.5);
        }
    }

    const int minRise = int(double(float(M)) * threshold);
    auto at = [&a](int i) { return a[size_t(i)]; };

    int y = 2;
    while (y < H - 2) {
        const int value = at(y);
        int l = y;
        while (l >= 1 && at(l - 1) == value)
            --l;
        int r = y;
        while (r <= H - 2 && at(r + 1) == value)
            ++r;

        bool maximum;
        if (l > 0 && r < H - 1)
            maximum = value >= at(l - 1) && value >= at(r + 1);
        else if (l == 0 && r < H - 1)
            maximum = value >= at(r + 1);
        else if (l > 0 && r == H - 1)
            maximum = value >= at(l - 1);
        else
            maximum = false; // one plateau over every row
        if (!maximum) {
            y = r + 1;
            continue;
        }

        int u = l;
        while (u >= 1 && at(u - 1) < at(u))
            --u;
        int v = r;
        while (v <= H - 2 && at(v + 1) < at(v))
            ++v;

        const bool risesEnough = at(l) - at(u) >= minRise || at(r) - at(v) >= minRise;
        // A plateau at the image's first or last row is the edge of the lane,
        // not a band.
        if (risesEnough && l > 0 && r < H - 1) {
            BandData &c = m_candidates[size_t(m_count++)];
            const int centre = int((r - l) * 0.5 + 0.5) + l;
            c.m_detectedRect = CRect(0, u, 0, v);
            c.m_centerOfGravity = CPoint(0, centre);
            const int atStart = profile.GetAt(l);
            if (double(atStart) > 0.95 * double(M))
                c.m_intensityClass = 5;
            else
                c.m_intensityClass = int(double(atStart) / ((double(M) + 1.0) * 0.25) + 1.0);
            c.m_centerValue = profile.GetAt(centre);
        }
        y = v + 1;
    }
}

void BandDetector::ComputeBackground()
{
    FindPeaks(0.005);
    int window = 0;
    if (m_count > 0) {
        int maxW = 0;
        int64_t sum = 0;
        for (int k = 0; k < m_count; ++k) {
            const CRect &r = m_candidates[size_t(k)].m_detectedRect;
            const int w = r.bottom - r.top;
            maxW = std::max(maxW, w);
            sum += w;
        }
        const int meanW = int(sum / m_count);
        window = std::min(maxW, int(std::floor(float(2 * meanW) + 0.5f)));
    }
    LaneProfileData::CalculateBackground(m_pProfileData->GetProfile(), window,
                                         m_pProfileData->GetBackground());
}

void BandDetector::DecomposeGaussians()
{
    std::vector<BandSpan> bands;
    bands.reserve(size_t(m_count));
    for (int k = 0; k < m_count; ++k) {
        const BandData &c = m_candidates[size_t(k)];
        bands.push_back({c.m_centerOfGravity.y, c.m_detectedRect.top, c.m_detectedRect.bottom});
    }
    DecomposeProfile(*m_pProfileData->GetProfile(), *m_pProfileData->GetBackground(), bands,
                     m_Gaussians);
}

void BandDetector::DecomposeProfile(const CIntDataArray &profile, const CIntDataArray &background,
                                    const std::vector<BandSpan> &bands, CGaussianArray &out,
                                    GaussianFitter fitter)
{
    out.RemoveAll();
    const int N = int(bands.size());
    if (N == 0)
        return;
    const int L = profile.GetSize();
    auto h = [&](int x) { return std::max(0, profile.GetAt(x) - background.GetAt(x)); };

    int groupStart = 0;
    int segStart = 0;
    int segEnd = 0;
    while (groupStart < N) {
        // A group ends at a band whose lower foot is back at the background;
        // its segment ends halfway to the next band. The last runs to the end.
        int i = groupStart;
        for (;; ++i) {
            if (h(bands[size_t(i)].end) < 5 && i < N - 1) {
                segEnd = (bands[size_t(i + 1)].start + bands[size_t(i)].end) / 2;
                break;
            }
            if (i == N - 1) {
                segEnd = L - 1;
                break;
            }
        }

        CIntDataArray segment;
        for (int x = segStart; x <= segEnd; ++x)
            segment.Add(h(x));

        CGaussianArray seeds;
        int maxW = 0;
        int minA = 999999;
        for (int k = groupStart; k <= i; ++k) {
            const BandSpan &band = bands[size_t(k)];
            const int A = h(band.peak);
            const int C = band.peak - segStart;
            const int d = std::max(band.peak - band.start, band.end - band.peak);
            const int W = int(std::sqrt(2.0) * (double(d) / 3.0));
            if (W >= 1 && A >= 0) {
                seeds.Add(CGaussian(A, C, W));
                maxW = std::max(maxW, W);
                minA = std::min(minA, A);
            }
        }

        try {
            CGaussianArray fitted;
            fitter(segment, seeds, fitted);
            const int minAmplitude = int(double(minA) / 3.0);
            CGaussianArray accepted;
            for (const CGaussian &g : fitted) {
                if (g.GetWidth() < 3 * maxW && g.GetAmplitude() > minAmplitude)
                    accepted.Add(CGaussian(g.GetAmplitude(), g.GetCenter() + segStart, g.GetWidth()));
            }
            out.Append(accepted);
        } catch (const std::exception &) {
            // A group that cannot be fitted keeps no Gaussian of its own; the
            // other groups are independent of it.
        }

        segStart = segEnd;
        groupStart = i + 1;
    }
}

void BandDetector::FitGaussians(const CIntDataArray &segment, const CGaussianArray &initial,
                                CGaussianArray &fitted)
{
    const int g = initial.GetSize();
    if (g == 0)
        return;
    const int n = segment.GetSize();
    const int ma = 3 * g;
    FitStorage s(n, ma);

    for (int i = 1; i <= n; ++i) {
        s.sig[i] = 1.0f;
        s.y[i] = float(segment[i - 1]);
        s.x[i] = float(i - 1);
    }
    for (int k = 0; k < g; ++k) {
        const CGaussian &seed = initial[k];
        s.a[3 * k + 1] = float(seed.GetAmplitude());
        s.a[3 * k + 2] = float(seed.GetCenter());
        s.a[3 * k + 3] = float(seed.GetWidth());
        // Only the widths are fitted: peaks and positions come from the profile.
        s.ia[3 * k + 1] = 0;
        s.ia[3 * k + 2] = 0;
        s.ia[3 * k + 3] = 1;
    }

    float alamda = -1.0f;
    float chisq = 1000.0f;
    float previous = 1000.0f;
    float change = -2e-7f;
    int iterations = 0;
    try {
        while ((double(change) > 0.0 || double(change) < -1e-7) && iterations < 40) {
            ++iterations;
            mrqmin(s.x, s.y, s.sig, n, s.a, s.ia, ma, s.covar, s.alpha, &chisq, fgauss, &alamda);
            change = chisq - previous;
            previous = chisq;
        }
        alamda = 0.0f;
        mrqmin(s.x, s.y, s.sig, n, s.a, s.ia, ma, s.covar, s.alpha, &chisq, fgauss, &alamda);
    } catch (...) {
        throw CTextException("Gaussian fitting falied.");
    }

    fitted.RemoveAll();
    for (int k = 0; k < g; ++k) {
        int A = 0;
        int C = 0;
        int W = 0;
        if (!truncated(s.a[3 * k + 1], A) || !truncated(s.a[3 * k + 2], C)
            || !truncated(s.a[3 * k + 3], W))
            continue;
        if (W > 0 && A >= 0)
            fitted.Add(CGaussian(A, C, W));
    }
}

void BandDetector::MeasureGaussian(int k)
{
    if (m_Gaussians.GetSize() == 0)
        return;
    if (k < 0 || k >= m_count)
        throw CInvalidArgException("BandDetector::MeasureGaussian: candidate out of range");
    BandData &cand = m_candidates[size_t(k)];
    const CIntDataArray &P = *m_pProfileData->GetProfile();
    const CIntDataArray &B = *m_pProfileData->GetBackground();
    const int c = cand.m_centerOfGravity.y;
    const int upper = cand.m_detectedRect.top;
    const int lower = cand.m_detectedRect.bottom;

    int nearest = 0;
    for (int i = 1; i < m_Gaussians.GetSize(); ++i) {
        if (std::abs(m_Gaussians[i].GetCenter() - c) < std::abs(m_Gaussians[nearest].GetCenter() - c))
            nearest = i;
    }
    const CGaussian &g = m_Gaussians[nearest];
    const int minAmplitude = int(0.75 * double(P.GetAt(c) - B.GetAt(c)));
    if (!(upper < g.GetCenter() && g.GetCenter() < lower && g.GetAmplitude() >= minAmplitude)) {
        cand.m_peakWidth = 0.0;
        cand.m_gaussianFit = 0.0;
        return;
    }

    // exp(-(x/G)^2) falls to one half at x = G * sqrt(ln 2).
    cand.m_peakWidth = 2.0 * std::sqrt(std::log(2.0)) * double(g.GetWidth());

    std::vector<double> observed;
    std::vector<double> model;
    for (int i = upper; i <= lower; ++i) {
        observed.push_back(double(P.GetAt(i) - B.GetAt(i)));
        int f = 0;
        for (const CGaussian &each : m_Gaussians)
            f += each.EvaluateAt(i);
        model.push_back(double(f));
    }
    double mean = 0.0;
    for (const double o : observed)
        mean += o;
    mean /= double(observed.size());
    double total = 0.0;
    double residual = 0.0;
    for (size_t i = 0; i < observed.size(); ++i) {
        total += (observed[i] - mean) * (observed[i] - mean);
        residual += (observed[i] - model[i]) * (observed[i] - model[i]);
    }
    cand.m_gaussianFit
        = residual == 0.0 ? 1.0 : std::sqrt(std::abs(total - residual) / std::max(total, residual));
}

void BandDetector::LocateAcross(int k, double exampleWidth)
{
    if (k < 0 || k >= m_count)
        throw CInvalidArgException("BandDetector::LocateAcross: candidate out of range");
    BandData &cand = m_candidates[size_t(k)];
    const double E = exampleWidth;
    const int c = cand.m_centerOfGravity.y;
    const int x = m_pProfileData->GetCenterLineArray()->GetAt(c);
    if (c < 0 || c >= imageHeight())
        throw CInvalidArgException("BandDetector::LocateAcross: row outside the image");
    const int q = floorHalfUp(0.35 * E);
    const int x0 = std::max(0, floorHalfUp(double(x) - 0.75 * E));
    const int x1 = std::min(m_pImage->getWidth() - 1, floorHalfUp(double(x) + 0.75 * E));

    // Slope of the row around every position: positive while it rises, negative
    // once it falls, so a band's centre is where the slopes cross zero.
    CDoubleDataArray slopes;
    CDoubleDataArray xs;
    CDoubleDataArray ys;
    CDoubleDataArray coefficients;
    if (q >= 1) {
        for (int j = 0; j < 2 * q; ++j)
            xs.Add(double(j));
        for (int s = x0 + q; s <= x1 - q - 1; ++s) {
            ys.RemoveAll();
            for (int j = 0; j < 2 * q; ++j)
                ys.Add(double(m_pImage->getPixel(s - q + j, c)));
            MathTVR::LinearRegression(xs, ys, coefficients);
            slopes.Add(coefficients[1]);
        }
    }

    cand.m_valid = false;
    const int n = slopes.GetSize();
    // Fewer than two slopes give no line, hence no crossing.
    if (n < 2)
        return;
    xs.RemoveAll();
    ys.RemoveAll();
    for (int i = 0; i < n; ++i) {
        xs.Add(double(i));
        ys.Add(std::floor(slopes[i] + 0.5));
    }
    MathTVR::LinearRegression(xs, ys, coefficients);
    const double intercept = coefficients[0];
    const double slope = coefficients[1];
    // Only a falling line (the row rises, then falls) crosses zero at a maximum.
    if (!(slope < 0.0) || !std::isfinite(intercept))
        return;
    const double crossing = std::floor(-intercept / slope + 0.5);
    // Any crossing inside the slope series is a maximum within the search
    // span; a narrower margin would drop the bands of a lane whose centre
    // line came out a few columns off them, and the lane would never be
    // re-centred onto its bands.
    if (!(crossing > 0.0 && crossing < double(n - 1)))
        return;
    const int i0 = int(crossing);
    const int centreX = i0 + x0 + q;
    cand.m_centerOfGravity.x = centreX;
    cand.m_detectedRect.left = floorHalfUp(double(centreX) - E / 2.0);
    cand.m_detectedRect.right = floorHalfUp(double(centreX) + E / 2.0);
    cand.m_valid = true;
}

void BandDetector::LocateAllAcross(double exampleWidth)
{
    for (int k = 0; k < m_count; ++k)
        LocateAcross(k, exampleWidth);
}
