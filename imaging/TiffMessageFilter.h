#pragma once

// libtiff, inside FreeImage, reports every EXIF tag it does not know while
// FreeImage reads or writes a TIFF ("TIFFFieldWithTag: Internal error,
// unknown tag ...": dozens of lines per picture on standard error). Those
// reports say nothing about the picture; this filter drops them and passes
// every other libtiff message on to the handler that was installed before.
class TiffMessageFilter
{
public:
    // Installs the filter once; true when libtiff was found in the process.
    static bool install();
};
