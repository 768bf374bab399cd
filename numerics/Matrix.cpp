#include "numerics/Matrix.h"

#include "numerics/Vector.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

Matrix::Matrix() = default;

Matrix::Matrix(int rows, int cols, double value)
{
    if (rows < 0 || cols < 0)
        throw CInvalidArgException("Matrix: negative size");
    m_rows = rows;
    m_cols = cols;
    m_data.reset(new double[size_t(rows) * size_t(cols)]);
    SetAll(value);
}

Matrix::Matrix(const Matrix &other)
{
    *this = other;
}

Matrix &Matrix::operator=(const Matrix &other)
{
    if (&other == this)
        return *this;
    const size_t n = size_t(other.m_rows) * size_t(other.m_cols);
    std::unique_ptr<double[]> data(new double[n]);
    std::copy_n(other.m_data.get(), n, data.get());
    m_data = std::move(data);
    m_rows = other.m_rows;
    m_cols = other.m_cols;
    m_pivots = other.m_pivots;
    return *this;
}

Matrix::~Matrix() = default;

double &Matrix::operator()(int row, int col)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw CInvalidArgException("Matrix: index out of range");
    return m_data[size_t(row) * m_cols + col];
}

double Matrix::operator()(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw CInvalidArgException("Matrix: index out of range");
    return m_data[size_t(row) * m_cols + col];
}

void Matrix::SetAll(double value)
{
    std::fill_n(m_data.get(), size_t(m_rows) * size_t(m_cols), value);
}

Matrix Matrix::operator*(const Matrix &other) const
{
    if (m_cols != other.m_rows)
        throw CInvalidArgException("Matrix: sizes do not match for the product");
    Matrix r(m_rows, other.m_cols);
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < other.m_cols; ++j) {
            double sum = 0.0;
            for (int k = 0; k < m_cols; ++k)
                sum += FastGetAt(i, k) * other.FastGetAt(k, j);
            r.FastSetAt(i, j, sum);
        }
    }
    return r;
}

Vector Matrix::operator*(const Vector &v) const
{
    if (m_cols != v.GetCount())
        throw CInvalidArgException("Matrix: sizes do not match for the product");
    Vector r(m_rows);
    for (int i = 0; i < m_rows; ++i) {
        double sum = 0.0;
        for (int k = 0; k < m_cols; ++k)
            sum += FastGetAt(i, k) * v.FastGetAt(k);
        r.FastSetAt(i, sum);
    }
    return r;
}

Matrix Matrix::Transpose() const
{
    Matrix r(m_cols, m_rows);
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j)
            r.FastSetAt(j, i, FastGetAt(i, j));
    return r;
}

// Crout's ordering, column by column. Pivot candidates are compared relative to
// the largest element of their original row (implicit scaling), so a row that
// merely has large entries does not win the pivot.
void Matrix::LUDecomp()
{
    if (m_rows == 0 || m_cols == 0)
        throw CTextException("Matrix::LUDecomp: empty matrix");
    if (m_rows != m_cols)
        throw CTextException("Matrix::LUDecomp: non-cubic matrix");
    const int n = m_rows;
    double *a = m_data.get();
    auto at = [a, n](int i, int j) -> double & { return a[size_t(i) * n + j]; };

    std::vector<double> rowScale(size_t(n), 0.0);
    for (int i = 0; i < n; ++i) {
        double largest = 0.0;
        for (int j = 0; j < n; ++j)
            largest = std::max(largest, std::fabs(at(i, j)));
        if (largest < DBL_MIN)
            throw CTextException("Matrix::LUDecomp: singular matrix");
        rowScale[size_t(i)] = 1.0 / largest;
    }

    m_pivots.assign(size_t(n), 0);
    for (int j = 0; j < n; ++j) {
        // Upper part of column j.
        for (int i = 0; i < j; ++i) {
            double s = at(i, j);
            for (int k = 0; k < i; ++k)
                s -= at(i, k) * at(k, j);
            at(i, j) = s;
        }
        // Diagonal and below, choosing the pivot on the way.
        int pivotRow = j;
        double best = -1.0;
        for (int i = j; i < n; ++i) {
            double s = at(i, j);
            for (int k = 0; k < j; ++k)
                s -= at(i, k) * at(k, j);
            at(i, j) = s;
            const double merit = rowScale[size_t(i)] * std::fabs(s);
            if (merit > best) {
                best = merit;
                pivotRow = i;
            }
        }
        if (pivotRow != j) {
            for (int k = 0; k < n; ++k)
                std::swap(at(pivotRow, k), at(j, k));
            rowScale[size_t(pivotRow)] = rowScale[size_t(j)];
        }
        m_pivots[size_t(j)] = pivotRow;
        const double pivot = at(j, j);
        if (std::fabs(pivot) < DBL_MIN)
            throw CTextException("Matrix::LUDecomp: singular matrix");
        for (int i = j + 1; i < n; ++i)
            at(i, j) /= pivot;
    }
}

void Matrix::substitute(double *b) const
{
    const int n = m_rows;
    // Forward: apply the row exchanges in order, then L (unit diagonal).
    for (int i = 0; i < n; ++i) {
        const int p = m_pivots[size_t(i)];
        double s = b[p];
        b[p] = b[i];
        for (int k = 0; k < i; ++k)
            s -= FastGetAt(i, k) * b[k];
        b[i] = s;
    }
    // Backward through U.
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int k = i + 1; k < n; ++k)
            s -= FastGetAt(i, k) * b[k];
        b[i] = s / FastGetAt(i, i);
    }
}

void Matrix::LUSolve(Vector &b)
{
    if (b.GetCount() != m_rows)
        throw CTextException("Matrix::LUSolve: vector size error");
    LUDecomp();
    substitute(b.GetData());
}

void Matrix::Invert()
{
    if (m_rows == 0 || m_cols == 0)
        throw CTextException("Matrix::Invert: empty matrix");
    if (m_rows != m_cols)
        throw CTextException("Matrix::Invert: non-square  matrix");
    const int n = m_rows;
    Matrix lu(*this);
    lu.LUDecomp();
    std::vector<double> column(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) {
        std::fill(column.begin(), column.end(), 0.0);
        column[size_t(j)] = 1.0;
        lu.substitute(column.data());
        for (int i = 0; i < n; ++i)
            FastSetAt(i, j, column[size_t(i)]);
    }
    m_pivots.clear();
}

Vector Matrix::LeastSquares(const Vector &data) const
{
    const Matrix transposed = Transpose();
    Matrix normal = transposed * *this;
    Vector rhs = transposed * data;
    normal.LUSolve(rhs);
    return rhs;
}

void Matrix::Dump() const
{
    std::printf("Matrix %d x %d\n", m_rows, m_cols);
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_cols; ++j)
            std::printf("%g ", FastGetAt(i, j));
        std::printf("\n");
    }
    std::fflush(stdout);
}
