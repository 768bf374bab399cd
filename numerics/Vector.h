#pragma once

// A fixed-length array of doubles with element-wise arithmetic and the
// descriptive statistics the numerical code needs. Indices are 0-based; every
// accessor checks its index except the Fast ones.

#include <memory>
#include <optional>

class VectorInt;

class Vector
{
public:
    Vector();
    explicit Vector(int count, double value = 0.0);
    Vector(int count, const double *values);
    Vector(const Vector &other);
    Vector &operator=(const Vector &other);
    virtual ~Vector();

    // Element-wise; the operands must have the same count.
    Vector operator+(const Vector &other) const;
    Vector operator-(const Vector &other) const;
    Vector operator/(const Vector &other) const;
    Vector operator-(double value) const;

    Vector &operator+=(double value);
    Vector &operator-=(double value);
    Vector &operator*=(double value);
    Vector &operator+=(const Vector &other);
    Vector &operator-=(const Vector &other);
    Vector &operator*=(const Vector &other);
    Vector &operator+=(const VectorInt &other);
    Vector &operator-=(const VectorInt &other);
    Vector &operator*=(const VectorInt &other);

    double &operator[](int i);
    double operator[](int i) const;
    double &operator()(int i) { return (*this)[i]; }
    double operator()(int i) const { return (*this)[i]; }
    double GetAt(int i) const;
    double FastGetAt(int i) const { return m_data[i]; }
    void SetAt(int i, double value);
    void FastSetAt(int i, double value) { m_data[i] = value; }
    double *GetAtPointer(int i);
    double *GetData() { return m_data.get(); }
    const double *GetData() const { return m_data.get(); }
    void SetAll(double value);
    void SetCount(int count); // keeps the leading elements, new ones are 0
    int GetCount() const { return m_count; }

    // Largest / smallest element; 0 for an empty vector.
    double CalculateMax() const;
    double CalculateMin() const;
    double CalculateSum2() const;
    double CalculateMean() const;
    double CalculateMedian() const;
    double CalculateVariance() const;
    double CalculateStDeviation() const;
    double CalculateStMeanError() const;
    double CalculateSkewness() const;
    double CalculateKurtosis() const;
    void CalculateMeanSigmaCpk(double low, double high, double &mean, double &sigma,
                               double &cpk) const;
    std::optional<double> CalculateCorrelation(const Vector *other) const;
    Vector CalculateDelta() const;
    double CalculateKthSmallest(int k) const;

    void QuickSort();
    void Sign();
    void Chop(double low, double high);
    void Chop(const Vector &lows, const Vector &highs);
    void Transform(double a, double b, double low, double high);
    void Destroy(int i);
    Vector AppendElement(double value) const;
    Vector PrependElement(double value) const;

    std::unique_ptr<VectorInt> CloneOutliers() const;
    std::unique_ptr<Vector> CloneDensity(int bins, double from, double to) const;
    std::unique_ptr<Vector> Clone() const;
    void Copy(const Vector &other);
    void Dump() const;

private:
    int check(int i) const;
    void checkSameCount(int count) const;

    int m_count = 0;
    std::unique_ptr<double[]> m_data;
};
