#pragma once

// Structural checks made before a picture is handed to a FreeImage decoder
// that trusts its input. FreeImage's Photoshop decoder reads run-length data
// of a file that ends early straight into memory it never checked, and
// crashes; it also writes past its row buffer when a packed row unpacks to
// more than one row, and reads past the packed row when a run claims more
// bytes than the row has. Its TIFF decoder reads past its buffers on a
// damaged directory, its GIF decoder loops for ever on data cut short and
// its TARGA decoder reads past its buffer on run-length data cut short. A
// Photoshop, TIFF, GIF or TARGA file is therefore only decoded when its
// structure holds together and all the pixel data it announces are present.
//
// Decoders also allocate whatever size the header declares: a picture whose
// declared size would need more memory than kPictureMemoryLimit is refused
// before anything is allocated.

#include <FreeImage.h>

#include <QString>

#include <cstdint>
#include <optional>

class QIODevice;

class ImageFileCheck
{
public:
    // Everything one picture may take: the decoded bitmap, one working copy
    // of it (decoders and conversions make one) and the raster the
    // measurements read. One limit for every format.
    static constexpr uint64_t kPictureMemoryLimit = uint64_t(1) << 30;

    struct PictureSize
    {
        uint64_t width = 0;
        uint64_t height = 0;
        unsigned bitsPerPixel = 0; // of the bitmap FreeImage makes of it
    };

    // True when the device holds a Photoshop (PSD or PSB) file whose header,
    // sections and image data all lie within the input and whose run-length
    // rows each unpack to exactly one row. Leaves the position at the start.
    static bool psdIsComplete(QIODevice *device);

    // False for a run-length coded BMP whose codes run past the end of the
    // input before the bitmap ends, or leave the picture; FreeImage's decoder
    // goes on working with what a read past the end did not give it. Other
    // BMPs pass. Leaves the position at the start.
    static bool bmpIsComplete(QIODevice *device);

    // True when the device holds a GIF whose blocks all lie within the
    // input up to its trailer: every extension's and every image's chain of
    // sub-blocks ends inside it. FreeImage's GIF decoder reads the image's chain without
    // looking at what its reads return and loops for ever on one cut short.
    // Leaves the position at the start.
    static bool gifIsComplete(QIODevice *device);

    // True when the device holds a TARGA file whose header describes a
    // picture FreeImage reads and whose pixels all lie within the input (and
    // before a version 2 footer); run-length packets must make up exactly
    // the picture. FreeImage's decoder reads past its buffer on run-length
    // data cut short. Leaves the position at the start.
    static bool targaIsComplete(QIODevice *device);

    // True when the device holds a TIFF (classic or BigTIFF) whose header,
    // directory chain (no loops), directory entries, and the strips or tiles
    // of its first image lie within the input, with counts and sizes that
    // agree with its width, height and samples. Leaves the position at the
    // start.
    static bool tiffIsSound(QIODevice *device);

    // The PhotometricInterpretation of a TIFF's first image (0 WhiteIsZero,
    // 1 BlackIsZero, ...), or -1 when the device holds no readable TIFF or the
    // tag is absent. Leaves the position at the start.
    static int tiffPhotometric(QIODevice *device);

    // The size the picture's header declares, read without decoding (for
    // the formats read here; others through FreeImage's header-only load
    // where the format offers one). Nothing when the header cannot be read.
    // Leaves the position at the start.
    static std::optional<PictureSize> declaredSize(FREE_IMAGE_FORMAT fif, QIODevice *device);
    // Whether declaredSize reads the header of the format; for those, a
    // header it cannot read is a damaged picture.
    static bool readsDeclaredSize(FREE_IMAGE_FORMAT fif);
    // Bytes a picture of that size needs, all told.
    static double memoryNeeded(const PictureSize &size);
    // The message that refuses a picture of that size, or an empty text when
    // the picture fits within kPictureMemoryLimit.
    static QString sizeRefusal(const PictureSize &size);
};
