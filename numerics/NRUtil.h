#pragma once

// Offset-indexed vectors and matrices for the single-precision fitting and
// filter routines (Levenberg-Marquardt, Gauss-Jordan, LU, Savitzky-Golay).
//
// Every allocator returns a pointer arranged so that the lower bound is the
// first valid index: vector(1, n) is used as v[1] .. v[n]. Storage comes from
// the C heap; each allocator has a release function taking the same bounds.
// Matrices are a table of row pointers, every row a separate heap block
// (rows are not contiguous), so m[i][j] works for nrl <= i <= nrh and
// ncl <= j <= nch.
//
// An allocation failure is fatal: the allocator calls nrerror, which writes a
// three-line report to standard error and ends the process with status 1.
// Empty ranges (nh == nl - 1) are allowed; the pointer is then only valid for
// the matching free call.
//
// These are deliberately global functions without a namespace: the numerical
// code and its callers use them by these short names. `vector` does not clash
// with std::vector as long as no file says `using namespace std;`.

[[noreturn]] void nrerror(const char error_text[]);

float *vector(long nl, long nh);
int *ivector(long nl, long nh);
double *dvector(long nl, long nh);
short *sivector(long nl, long nh);
char *cvector(long nl, long nh);
unsigned char *ucvector(long nl, long nh);

float **matrix(long nrl, long nrh, long ncl, long nch);
double **dmatrix(long nrl, long nrh, long ncl, long nch);
char **cmatrix(long nrl, long nrh, long ncl, long nch);
short **simatrix(long nrl, long nrh, long ncl, long nch);
// imatrix and unchar_matrix zero their elements; the other allocators do not.
int **imatrix(long nrl, long nrh, long ncl, long nch);
unsigned char **unchar_matrix(long nrl, long nrh, long ncl, long nch);

// A new row table over rows oldrl..oldrh and columns oldcl..oldch of an
// existing matrix, re-indexed to start at [newrl][newcl]. Shares the elements;
// free_submatrix releases only the row table.
float **submatrix(float **a, long oldrl, long oldrh, long oldcl, long oldch, long newrl,
                  long newcl);
// A row table over a contiguous row-major block a[0 .. (nrh-nrl+1)*(nch-ncl+1)-1],
// indexed [nrl..nrh][ncl..nch]. The block stays owned by the caller;
// free_convert_matrix releases only the row table.
float **convert_matrix(float *a, long nrl, long nrh, long ncl, long nch);

void free_vector(float *v, long nl, long nh);
void free_ivector(int *v, long nl, long nh);
void free_dvector(double *v, long nl, long nh);
void free_sivector(short *v, long nl, long nh);
void free_cvector(char *v, long nl, long nh);
void free_ucvector(unsigned char *v, long nl, long nh);

void free_matrix(float **m, long nrl, long nrh, long ncl, long nch);
void free_dmatrix(double **m, long nrl, long nrh, long ncl, long nch);
void free_cmatrix(char **m, long nrl, long nrh, long ncl, long nch);
void free_simatrix(short **m, long nrl, long nrh, long ncl, long nch);
void free_imatrix(int **m, long nrl, long nrh, long ncl, long nch);
void free_unchar_matrix(unsigned char **m, long nrl, long nrh, long ncl, long nch);
void free_submatrix(float **b, long nrl, long nrh, long ncl, long nch);
void free_convert_matrix(float **b, long nrl, long nrh, long ncl, long nch);
