#include "numerics/NRUtil.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// The offset pointers: a block holding elements [lo..hi] is handed out as
// "block - lo", so that p[lo] is the block's first element. Forming that
// pointer with ordinary pointer arithmetic would step outside the block,
// which the language leaves undefined. The shift is therefore done on the
// address as an integer (uintptr_t, wrapping arithmetic); for the flat address
// spaces this runs on that gives exactly the pointer the indexing expects, and
// every access p[i] with lo <= i <= hi lands inside the block. Releasing applies
// the reverse shift to recover the address malloc returned.

void nrerror(const char error_text[])
{
    std::fprintf(stderr, "Numerical Recipes run-time error...\n");
    std::fprintf(stderr, "%s\n", error_text);
    std::fprintf(stderr, "...now exiting to system...\n");
    std::fflush(stderr);
    std::exit(1);
}

namespace {

template<typename T>
T *shiftDown(T *block, long lo)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(block);
    return reinterpret_cast<T *>(address - uintptr_t(lo) * sizeof(T));
}

template<typename T>
T *shiftUp(T *offset, long lo)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(offset);
    return reinterpret_cast<T *>(address + uintptr_t(lo) * sizeof(T));
}

// Bytes for elements lo..hi, or 0 when the count is negative or does not fit.
// An empty range still gets one element so that malloc returns a unique block.
template<typename T>
size_t blockBytes(long lo, long hi)
{
    if (hi < lo - 1)
        return 0;
    // hi - lo + 1 computed without signed overflow.
    const unsigned long count = static_cast<unsigned long>(hi) - static_cast<unsigned long>(lo) + 1ul;
    const size_t elements = count == 0 ? 1 : size_t(count);
    if (elements > std::numeric_limits<size_t>::max() / sizeof(T))
        return 0;
    return elements * sizeof(T);
}

template<typename T>
T *allocVector(long nl, long nh, bool zeroed, const char *failure)
{
    const size_t bytes = blockBytes<T>(nl, nh);
    void *block = bytes == 0 ? nullptr : (zeroed ? std::calloc(bytes, 1) : std::malloc(bytes));
    if (!block)
        nrerror(failure);
    return shiftDown(static_cast<T *>(block), nl);
}

template<typename T>
void freeVector(T *v, long nl)
{
    if (v)
        std::free(shiftUp(v, nl));
}

template<typename T>
T **allocMatrix(long nrl, long nrh, long ncl, long nch, bool zeroed, const char *failureTable,
                const char *failureRow)
{
    T **rows = allocVector<T *>(nrl, nrh, false, failureTable);
    for (long i = nrl; i <= nrh; ++i)
        rows[i] = allocVector<T>(ncl, nch, zeroed, failureRow);
    return rows;
}

template<typename T>
void freeMatrix(T **m, long nrl, long nrh, long ncl)
{
    if (!m)
        return;
    for (long i = nrh; i >= nrl; --i)
        freeVector(m[i], ncl);
    freeVector(m, nrl);
}

} // namespace

float *vector(long nl, long nh)
{
    return allocVector<float>(nl, nh, false, "allocation failure in vector()");
}

int *ivector(long nl, long nh)
{
    return allocVector<int>(nl, nh, false, "allocation failure in ivector()");
}

double *dvector(long nl, long nh)
{
    return allocVector<double>(nl, nh, false, "allocation failure in dvector()");
}

short *sivector(long nl, long nh)
{
    return allocVector<short>(nl, nh, false, "allocation failure in sivector()");
}

char *cvector(long nl, long nh)
{
    return allocVector<char>(nl, nh, false, "allocation failure in cvector()");
}

unsigned char *ucvector(long nl, long nh)
{
    return allocVector<unsigned char>(nl, nh, false, "allocation failure in ucvector()");
}

float **matrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<float>(nrl, nrh, ncl, nch, false, "allocation failure 1 in matrix()",
                              "allocation failure 2 in matrix()");
}

double **dmatrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<double>(nrl, nrh, ncl, nch, false, "allocation failure 1 in dmatrix()",
                               "allocation failure 2 in dmatrix()");
}

char **cmatrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<char>(nrl, nrh, ncl, nch, false, "allocation failure 1 in cmatrix()",
                             "allocation failure 2 in cmatrix()");
}

short **simatrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<short>(nrl, nrh, ncl, nch, false, "allocation failure 1 in simatrix()",
                              "allocation failure 2 in simatrix()");
}

int **imatrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<int>(nrl, nrh, ncl, nch, true, "allocation failure 1 in imatrix()",
                            "allocation failure 2 in imatrix()");
}

unsigned char **unchar_matrix(long nrl, long nrh, long ncl, long nch)
{
    return allocMatrix<unsigned char>(nrl, nrh, ncl, nch, true,
                                      "allocation failure 1 in unchar_matrix()",
                                      "allocation failure 2 in unchar_matrix()");
}

float **submatrix(float **a, long oldrl, long oldrh, long oldcl, long oldch, long newrl,
                  long newcl)
{
    (void)oldch; // the column range is implied by the source rows
    const long newrh = newrl + (oldrh - oldrl);
    float **rows = allocVector<float *>(newrl, newrh, false, "allocation failure in submatrix()");
    // Row j of the new table is row oldrl + (j - newrl) of a, shifted so that
    // column newcl addresses the source's column oldcl.
    for (long j = newrl, i = oldrl; i <= oldrh; ++i, ++j)
        rows[j] = shiftDown(shiftUp(a[i], oldcl), newcl);
    return rows;
}

float **convert_matrix(float *a, long nrl, long nrh, long ncl, long nch)
{
    float **rows = allocVector<float *>(nrl, nrh, false, "allocation failure in convert_matrix()");
    const long rowLength = nch - ncl + 1;
    for (long i = nrl; i <= nrh; ++i)
        rows[i] = shiftDown(a + (i - nrl) * rowLength, ncl);
    return rows;
}

void free_vector(float *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_ivector(int *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_dvector(double *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_sivector(short *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_cvector(char *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_ucvector(unsigned char *v, long nl, long /*nh*/)
{
    freeVector(v, nl);
}

void free_matrix(float **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_dmatrix(double **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_cmatrix(char **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_simatrix(short **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_imatrix(int **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_unchar_matrix(unsigned char **m, long nrl, long nrh, long ncl, long /*nch*/)
{
    freeMatrix(m, nrl, nrh, ncl);
}

void free_submatrix(float **b, long nrl, long /*nrh*/, long /*ncl*/, long /*nch*/)
{
    freeVector(b, nrl);
}

void free_convert_matrix(float **b, long nrl, long /*nrh*/, long /*ncl*/, long /*nch*/)
{
    freeVector(b, nrl);
}
