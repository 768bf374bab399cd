#pragma once

// Dense matrix of doubles stored row by row, with products, an LU decomposition
// with implicit partial pivoting, a linear solve and inversion. Failures are
// raised as CTextException carrying fixed texts ("Matrix::LUDecomp: singular
// matrix", ...), which the least-squares fits catch.

#include <memory>
#include <vector>

class Vector;

class Matrix
{
public:
    Matrix();
    Matrix(int rows, int cols, double value = 0.0);
    Matrix(const Matrix &other);
    Matrix &operator=(const Matrix &other);
    virtual ~Matrix();

    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }

    double &operator()(int row, int col);
    double operator()(int row, int col) const;
    double GetAt(int row, int col) const { return (*this)(row, col); }
    void SetAt(int row, int col, double value) { (*this)(row, col) = value; }
    double FastGetAt(int row, int col) const { return m_data[size_t(row) * m_cols + col]; }
    void FastSetAt(int row, int col, double value) { m_data[size_t(row) * m_cols + col] = value; }
    double *GetData() { return m_data.get(); }
    const double *GetData() const { return m_data.get(); }
    void SetAll(double value);

    Matrix operator*(const Matrix &other) const;
    Vector operator*(const Vector &v) const;
    Matrix Transpose() const;

    // Replaces the matrix by its LU factors (L below the diagonal with unit
    // diagonal implied, U on and above it) of the row-permuted matrix.
    void LUDecomp();
    // Decomposes the matrix, then overwrites b with the solution of A x = b.
    void LUSolve(Vector &b);
    // Replaces the matrix by its inverse.
    void Invert();
    // Treating this matrix as a design matrix A (one row per sample), the
    // least-squares solution c of A c = data through (A^T A) c = A^T data.
    Vector LeastSquares(const Vector &data) const;
    void Dump() const;

private:
    void substitute(double *b) const;

    int m_rows = 0;
    int m_cols = 0;
    std::unique_ptr<double[]> m_data;
    std::vector<int> m_pivots; // row exchanged with row k at step k of LUDecomp
};
