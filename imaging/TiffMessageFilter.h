#pragma once

// libtiff, inside FreeImage, writes its errors and warnings to standard
// error: the program's user saw lines such as ": Not a TIFF or MDI file, bad
// magic number ..." (the module name FreeImage gives is empty) before the
// program's own message, and dozens of "TIFFFieldWithTag: Internal error,
// unknown tag ..." for every picture with EXIF tags libtiff does not know.
//
// The filter takes both over. Errors go where FreeImage's own reports go
// (FreeImageErrorTrap), so a decode libtiff found fault with is refused and
// the user sees the program's one message; the unknown-tag reports, which
// say nothing about the picture, and warnings are dropped.
class TiffMessageFilter
{
public:
    // Installs the filter once; true when libtiff was found in the process.
    static bool install();
};
