#include "numerics/MatrixInt.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdio>

MatrixInt::MatrixInt() = default;

MatrixInt::MatrixInt(int rows, int cols, int value)
{
    if (rows < 0 || cols < 0)
        throw CInvalidArgException("MatrixInt: negative size");
    m_rows = rows;
    m_cols = cols;
    m_data.reset(new int[size_t(rows) * size_t(cols)]);
    SetAll(value);
}

MatrixInt::MatrixInt(const MatrixInt &other)
{
    *this = other;
}

MatrixInt &MatrixInt::operator=(const MatrixInt &other)
{
    if (&other == this)
        return *this;
    const size_t n = size_t(other.m_rows) * size_t(other.m_cols);
    std::unique_ptr<int[]> data(new int[n]);
    std::copy_n(other.m_data.get(), n, data.get());
    m_data = std::move(data);
    m_rows = other.m_rows;
    m_cols = other.m_cols;
    return *this;
}

MatrixInt::~MatrixInt() = default;

int &MatrixInt::operator()(int row, int col)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw CInvalidArgException("MatrixInt: index out of range");
    return m_data[size_t(row) * m_cols + col];
}

int MatrixInt::operator()(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw CInvalidArgException("MatrixInt: index out of range");
    return m_data[size_t(row) * m_cols + col];
}

void MatrixInt::SetAll(int value)
{
    std::fill_n(m_data.get(), size_t(m_rows) * size_t(m_cols), value);
}

void MatrixInt::Dump() const
{
    std::printf("MatrixInt %d x %d\n", m_rows, m_cols);
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_cols; ++j)
            std::printf("%d ", FastGetAt(i, j));
        std::printf("\n");
    }
    std::fflush(stdout);
}
