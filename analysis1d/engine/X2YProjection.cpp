#include "analysis1d/engine/X2YProjection.h"

#include "imaging/RasterImageGS16.h"
#include "numerics/MathTVR.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(X2YProjection, CObject)

X2YProjection::X2YProjection(RasterImageGS16 *image) : m_pImage(image)
{
    if (image && image->getWidth() > 0 && image->getHeight() > 0) {
        m_width = image->getWidth();
        m_height = image->getHeight();
    }
    if (m_width > 0) {
        const size_t padded = size_t(m_width) + 2 * kPadding;
        m_columnSpread.assign(padded, 0.0);
        m_slope.assign(padded, 0.0);
        m_tValues.assign(size_t(m_width), 0.0);
        m_paddedTValues.assign(padded, 0.0);
    }
    CalculateColumnSpread();
    CalculateSlope(kDefaultSlopeThreshold);
}

X2YProjection::~X2YProjection() = default;

int X2YProjection::PaddedPixel(int p, int y) const
{
    const int w = m_width;
    if (p < kPadding) {
        // A one-column image has no second column: it pairs with itself.
        const int second = std::min(1, w - 1);
        return int(
            std::floor((m_pImage->getPixel(0, y) + m_pImage->getPixel(second, y)) * 0.5 + 0.5));
    }
    if (p > w + kPadding - 1) {
        const int second = std::max(w - 2, 0);
        return int(
            std::floor((m_pImage->getPixel(w - 1, y) + m_pImage->getPixel(second, y)) * 0.5 + 0.5));
    }
    return m_pImage->getPixel(p - kPadding, y);
}

void X2YProjection::CalculateColumnSpread()
{
    const int padded = GetPaddedSize();
    const int h = m_height;
    if (h < 2) {
        // One row cannot vary; the sample deviation would be 0 / 0.
        std::fill(m_columnSpread.begin(), m_columnSpread.end(), 0.0);
        return;
    }
    // Row by row over the picture (a column walk strides through memory);
    // every column still adds its values in row order, so each sum, mean and
    // deviation is the one a walk down the column gives.
    if (padded == 0)
        return;
    // One padded row at a time, as PaddedPixel gives it.
    std::vector<int> row(static_cast<size_t>(padded));
    const int w = m_width;
    const auto readRow = [&](int y) {
        const int *pixels = m_pImage->getPixels() + size_t(w) * size_t(y);
        const int left = PaddedPixel(0, y);
        const int right = PaddedPixel(padded - 1, y);
        std::fill(row.begin(), row.begin() + kPadding, left);
        std::copy(pixels, pixels + w, row.begin() + kPadding);
        std::fill(row.begin() + kPadding + w, row.end(), right);
    };
    std::vector<double> sums(size_t(padded), 0.0);
    for (int y = 0; y < h; ++y) {
        readRow(y);
        for (int p = 0; p < padded; ++p)
            sums[size_t(p)] += row[size_t(p)];
    }
    std::vector<double> means(static_cast<size_t>(padded));
    for (int p = 0; p < padded; ++p)
        means[size_t(p)] = sums[size_t(p)] / h;
    std::vector<double> squares(size_t(padded), 0.0);
    for (int y = 0; y < h; ++y) {
        readRow(y);
        for (int p = 0; p < padded; ++p) {
            const double d = row[size_t(p)] - means[size_t(p)];
            squares[size_t(p)] += d * d;
        }
    }
    for (int p = 0; p < padded; ++p)
        m_columnSpread[size_t(p)] = std::sqrt(squares[size_t(p)] / (h - 1));
}

void X2YProjection::CalculateSlope(double threshold)
{
    const int padded = GetPaddedSize();
    std::fill(m_slope.begin(), m_slope.end(), 0.0);
    for (int p = 1; p <= padded - 2; ++p) {
        const double d = (m_columnSpread[size_t(p + 1)] - m_columnSpread[size_t(p - 1)]) * 20.0;
        m_slope[size_t(p)] = std::fabs(d) < threshold ? 0.0 : d;
    }
}

void X2YProjection::LevelFlatStretches()
{
    const int padded = GetPaddedSize();
    std::vector<double> levelled = m_columnSpread;
    int run = 0;
    for (int p = 0; p < padded; ++p) {
        if (m_slope[size_t(p)] == 0.0 || run == 0) {
            ++run;
            continue;
        }
        const double mean = MathTVR::average(m_columnSpread.data(), p - run, p - 1);
        for (int i = p - run; i < p; ++i)
            levelled[size_t(i)] = mean;
        run = 0;
    }
    m_columnSpread = std::move(levelled);
}

void X2YProjection::CalculateTValues(int n)
{
    std::fill(m_paddedTValues.begin(), m_paddedTValues.end(), 0.0);
    if (n < 1 || m_width <= 0)
        return;
    const std::vector<double> &s = m_columnSpread;
    for (int k = 0; n + k < m_width - n + 2 * kPadding - 1; ++k) {
        double sumL = 0.0;
        double sumR = 0.0;
        double squaresL = 0.0;
        double squaresR = 0.0;
        for (int j = 0; j < n; ++j) {
            const double l = s[size_t(k + j)];
            const double r = s[size_t(k + n + 1 + j)];
            sumL += l;
            squaresL += l * l;
            sumR += r;
            squaresR += r * r;
        }
        const double meanL = sumL / n;
        const double meanR = sumR / n;
        double variance = ((squaresL - n * meanL * meanL) + (squaresR - n * meanR * meanR))
            / (double(n - 1) * n);
        // Also catches n = 1, where the variance has no estimate (0 / 0).
        if (!(variance >= 0.0001))
            variance = 0.0001;
        m_paddedTValues[size_t(k + n)] = (meanR - meanL) / std::sqrt(variance);
    }
}

void X2YProjection::SmoothTValues(int g)
{
    const int padded = GetPaddedSize();
    g = std::max(g, 0);
    std::vector<double> smoothed = m_paddedTValues;
    for (int i = g; i < padded - g; ++i)
        smoothed[size_t(i)] = MathTVR::average(m_paddedTValues.data(), i - g, i + g);
    m_paddedTValues = std::move(smoothed);
    for (int x = 0; x < m_width; ++x)
        m_tValues[size_t(x)] = m_paddedTValues[size_t(x + kPadding - 1)];
}
