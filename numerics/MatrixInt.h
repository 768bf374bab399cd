#pragma once

// Dense matrix of ints stored row by row, the integer companion of Matrix.

#include <memory>

class MatrixInt
{
public:
    MatrixInt();
    MatrixInt(int rows, int cols, int value = 0);
    MatrixInt(const MatrixInt &other);
    MatrixInt &operator=(const MatrixInt &other);
    virtual ~MatrixInt();

    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }

    int &operator()(int row, int col);
    int operator()(int row, int col) const;
    int GetAt(int row, int col) const { return (*this)(row, col); }
    void SetAt(int row, int col, int value) { (*this)(row, col) = value; }
    int FastGetAt(int row, int col) const { return m_data[size_t(row) * m_cols + col]; }
    void FastSetAt(int row, int col, int value) { m_data[size_t(row) * m_cols + col] = value; }
    int *GetData() { return m_data.get(); }
    const int *GetData() const { return m_data.get(); }
    void SetAll(int value);
    void Dump() const;

private:
    int m_rows = 0;
    int m_cols = 0;
    std::unique_ptr<int[]> m_data;
};
