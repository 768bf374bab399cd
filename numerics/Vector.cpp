#include "numerics/Vector.h"

#include "numerics/VectorInt.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

Vector::Vector() = default;

Vector::Vector(int count, double value)
{
    SetCount(count);
    SetAll(value);
}

Vector::Vector(int count, const double *values)
{
    SetCount(count);
    std::copy_n(values, count, m_data.get());
}

Vector::Vector(const Vector &other)
{
    Copy(other);
}

Vector &Vector::operator=(const Vector &other)
{
    Copy(other);
    return *this;
}

Vector::~Vector() = default;

int Vector::check(int i) const
{
    if (i < 0 || i >= m_count)
        throw CInvalidArgException("Vector: index out of range");
    return i;
}

void Vector::checkSameCount(int count) const
{
    if (count != m_count)
        throw CInvalidArgException("Vector: sizes differ");
}

Vector Vector::operator+(const Vector &other) const
{
    Vector r(*this);
    r += other;
    return r;
}

Vector Vector::operator-(const Vector &other) const
{
    Vector r(*this);
    r -= other;
    return r;
}

Vector Vector::operator/(const Vector &other) const
{
    checkSameCount(other.m_count);
    Vector r(*this);
    for (int i = 0; i < m_count; ++i)
        r.m_data[i] /= other.m_data[i];
    return r;
}

Vector Vector::operator-(double value) const
{
    Vector r(*this);
    r -= value;
    return r;
}

Vector &Vector::operator+=(double value)
{
    for (int i = 0; i < m_count; ++i)
        m_data[i] += value;
    return *this;
}

Vector &Vector::operator-=(double value)
{
    for (int i = 0; i < m_count; ++i)
        m_data[i] -= value;
    return *this;
}

Vector &Vector::operator*=(double value)
{
    for (int i = 0; i < m_count; ++i)
        m_data[i] *= value;
    return *this;
}

Vector &Vector::operator+=(const Vector &other)
{
    checkSameCount(other.m_count);
    for (int i = 0; i < m_count; ++i)
        m_data[i] += other.m_data[i];
    return *this;
}

Vector &Vector::operator-=(const Vector &other)
{
    checkSameCount(other.m_count);
    for (int i = 0; i < m_count; ++i)
        m_data[i] -= other.m_data[i];
    return *this;
}

Vector &Vector::operator*=(const Vector &other)
{
    checkSameCount(other.m_count);
    for (int i = 0; i < m_count; ++i)
        m_data[i] *= other.m_data[i];
    return *this;
}

Vector &Vector::operator+=(const VectorInt &other)
{
    checkSameCount(other.GetCount());
    for (int i = 0; i < m_count; ++i)
        m_data[i] += other.FastGetAt(i);
    return *this;
}

Vector &Vector::operator-=(const VectorInt &other)
{
    checkSameCount(other.GetCount());
    for (int i = 0; i < m_count; ++i)
        m_data[i] -= other.FastGetAt(i);
    return *this;
}

Vector &Vector::operator*=(const VectorInt &other)
{
    checkSameCount(other.GetCount());
    for (int i = 0; i < m_count; ++i)
        m_data[i] *= other.FastGetAt(i);
    return *this;
}

double &Vector::operator[](int i)
{
    return m_data[check(i)];
}

double Vector::operator[](int i) const
{
    return m_data[check(i)];
}

double Vector::GetAt(int i) const
{
    return m_data[check(i)];
}

void Vector::SetAt(int i, double value)
{
    m_data[check(i)] = value;
}

double *Vector::GetAtPointer(int i)
{
    return &m_data[check(i)];
}

void Vector::SetAll(double value)
{
    std::fill_n(m_data.get(), m_count, value);
}

void Vector::SetCount(int count)
{
    if (count < 0)
        throw CInvalidArgException("Vector::SetCount: negative count");
    std::unique_ptr<double[]> data(new double[size_t(count)]());
    std::copy_n(m_data.get(), std::min(count, m_count), data.get());
    m_data = std::move(data);
    m_count = count;
}

double Vector::CalculateMax() const
{
    if (m_count == 0)
        return 0.0;
    return *std::max_element(m_data.get(), m_data.get() + m_count);
}

double Vector::CalculateMin() const
{
    if (m_count == 0)
        return 0.0;
    return *std::min_element(m_data.get(), m_data.get() + m_count);
}

double Vector::CalculateSum2() const
{
    double sum = 0.0;
    for (int i = 0; i < m_count; ++i)
        sum += m_data[i] * m_data[i];
    return sum;
}

double Vector::CalculateMean() const
{
    if (m_count == 0)
        return 0.0;
    double sum = 0.0;
    for (int i = 0; i < m_count; ++i)
        sum += m_data[i];
    return sum / m_count;
}

double Vector::CalculateMedian() const
{
    const int k = m_count / 2;
    if (m_count % 2 == 1)
        return CalculateKthSmallest(k);
    return (CalculateKthSmallest(k) + CalculateKthSmallest(k - 1)) / 2.0;
}

double Vector::CalculateVariance() const
{
    if (m_count < 2)
        return 0.0;
    const double mean = CalculateMean();
    double sum = 0.0;
    for (int i = 0; i < m_count; ++i)
        sum += (m_data[i] - mean) * (m_data[i] - mean);
    return sum / (m_count - 1);
}

double Vector::CalculateStDeviation() const
{
    return std::sqrt(CalculateVariance());
}

// Divided by n rather than sqrt(n): the established form of this statistic here.
double Vector::CalculateStMeanError() const
{
    if (m_count == 0)
        return 0.0;
    return std::sqrt(CalculateVariance()) / m_count;
}

// Note the (mean - x) orientation of the deviations, kept as established.
double Vector::CalculateSkewness() const
{
    const int n = m_count;
    if (n <= 2)
        return 0.0;
    const double mean = CalculateMean();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double d = mean - m_data[i];
        sum += d * d * d;
    }
    if (sum == 0.0)
        return 0.0;
    const double s = CalculateStDeviation();
    return n * sum / (double(n - 2) * double(n - 1) * s * s * s);
}

double Vector::CalculateKurtosis() const
{
    const int n = m_count;
    if (n <= 3)
        return 0.0;
    const double mean = CalculateMean();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double d = mean - m_data[i];
        sum += d * d * d * d;
    }
    if (sum == 0.0)
        return 0.0;
    const double s = CalculateStDeviation();
    // The correction term is an integer expression, each division truncating.
    const int t = ((n - 1) * (3 * n - 3) / (n - 2)) / (n - 3);
    return double(n) * double(n + 1) * sum
        / (double(n - 1) * double(n - 2) * double(n - 3) * s * s * s * s)
        - t;
}

void Vector::CalculateMeanSigmaCpk(double low, double high, double &mean, double &sigma,
                                   double &cpk) const
{
    if (m_count <= 1) {
        mean = sigma = cpk = 0.0;
        return;
    }
    mean = CalculateMean();
    sigma = CalculateStDeviation();
    if (sigma < DBL_MIN)
        cpk = 0.0;
    else
        cpk = std::min(std::fabs(mean - low), std::fabs(mean - high)) / (3.0 * sigma);
}

std::optional<double> Vector::CalculateCorrelation(const Vector *other) const
{
    if (!other || other->m_count != m_count || m_count == 0)
        return std::nullopt;
    const double sx = CalculateStDeviation();
    const double sy = other->CalculateStDeviation();
    if (sx * sy < DBL_MIN)
        return std::nullopt;
    const double mx = CalculateMean();
    const double my = other->CalculateMean();
    double sum = 0.0;
    for (int i = 0; i < m_count; ++i)
        sum += (m_data[i] - mx) * (other->m_data[i] - my);
    return sum / (m_count * sx * sy);
}

Vector Vector::CalculateDelta() const
{
    Vector r(m_count);
    for (int i = 0; i + 1 < m_count; ++i)
        r.m_data[i] = m_data[i + 1] - m_data[i];
    return r;
}

double Vector::CalculateKthSmallest(int k) const
{
    if (k < 0 || k >= m_count)
        return 0.0;
    std::vector<double> copy(m_data.get(), m_data.get() + m_count);
    std::nth_element(copy.begin(), copy.begin() + k, copy.end());
    return copy[size_t(k)];
}

static int compareDoubles(const void *a, const void *b)
{
    const double x = *static_cast<const double *>(a);
    const double y = *static_cast<const double *>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

void Vector::QuickSort()
{
    if (m_count > 1)
        std::qsort(m_data.get(), size_t(m_count), sizeof(double), compareDoubles);
}

void Vector::Sign()
{
    for (int i = 0; i < m_count; ++i) {
        if (m_data[i] > 0.0)
            m_data[i] = 1.0;
        else if (m_data[i] < 0.0)
            m_data[i] = -1.0;
    }
}

void Vector::Chop(double low, double high)
{
    for (int i = 0; i < m_count; ++i) {
        if (m_data[i] > high)
            m_data[i] = high;
        if (m_data[i] < low)
            m_data[i] = low;
    }
}

void Vector::Chop(const Vector &lows, const Vector &highs)
{
    checkSameCount(lows.m_count);
    checkSameCount(highs.m_count);
    for (int i = 0; i < m_count; ++i) {
        if (m_data[i] > highs.m_data[i])
            m_data[i] = highs.m_data[i];
        if (m_data[i] < lows.m_data[i])
            m_data[i] = lows.m_data[i];
    }
}

void Vector::Transform(double a, double b, double low, double high)
{
    if (high == low) {
        std::printf("Warning: Vector::Transform: high == low\n");
        std::fflush(stdout);
        SetAll((a + b) / 2.0);
        return;
    }
    for (int i = 0; i < m_count; ++i)
        m_data[i] = (m_data[i] - low) * (b - a) / (high - low) + a;
}

void Vector::Destroy(int i)
{
    check(i);
    std::unique_ptr<double[]> data(new double[size_t(m_count - 1)]);
    std::copy_n(m_data.get(), i, data.get());
    std::copy(m_data.get() + i + 1, m_data.get() + m_count, data.get() + i);
    m_data = std::move(data);
    --m_count;
}

Vector Vector::AppendElement(double value) const
{
    Vector r(*this);
    r.SetCount(m_count + 1);
    r.m_data[m_count] = value;
    return r;
}

Vector Vector::PrependElement(double value) const
{
    Vector r(m_count + 1);
    r.m_data[0] = value;
    std::copy_n(m_data.get(), m_count, r.m_data.get() + 1);
    return r;
}

std::unique_ptr<VectorInt> Vector::CloneOutliers() const
{
    auto marks = std::make_unique<VectorInt>(m_count, 0);
    const double s = CalculateStDeviation();
    if (s == 0.0)
        return marks;
    const double mean = CalculateMean();
    for (int i = 0; i < m_count; ++i)
        marks->FastSetAt(i, std::fabs(m_data[i] - mean) / s > 1.96 ? 1 : 0);
    return marks;
}

std::unique_ptr<Vector> Vector::CloneDensity(int bins, double from, double to) const
{
    auto counts = std::make_unique<Vector>(std::max(bins, 0));
    if (bins <= 0)
        return counts;
    Vector sorted(*this);
    sorted.QuickSort();
    const double width = (to - from) / bins;
    int k = 0;
    for (int i = 0; i < m_count && k < bins; ++i) {
        const double v = sorted.m_data[i];
        if (v < from)
            continue;
        while (k < bins && v > from + (k + 1) * width)
            ++k;
        if (k < bins)
            counts->m_data[k] += 1.0;
    }
    return counts;
}

std::unique_ptr<Vector> Vector::Clone() const
{
    return std::make_unique<Vector>(*this);
}

void Vector::Copy(const Vector &other)
{
    if (&other == this)
        return;
    std::unique_ptr<double[]> data(new double[size_t(other.m_count)]);
    std::copy_n(other.m_data.get(), other.m_count, data.get());
    m_data = std::move(data);
    m_count = other.m_count;
}

void Vector::Dump() const
{
    for (int i = 0; i < m_count; ++i)
        std::printf("%g ", m_data[i]);
    std::printf("\n");
    std::fflush(stdout);
}
