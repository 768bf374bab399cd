#pragma once

// Structural checks made before a picture is handed to a FreeImage decoder
// that trusts its input. FreeImage's Photoshop decoder reads run-length data
// of a file that ends early straight into memory it never checked, and
// crashes; it also writes past its row buffer when a packed row unpacks to
// more than one row, and reads past the packed row when a run claims more
// bytes than the row has. Its TIFF decoder reads past its buffers on a
// damaged directory. A
// Photoshop or TIFF file is therefore only decoded when its structure holds
// together and all the pixel data it announces are present.

class QIODevice;

class ImageFileCheck
{
public:
    // True when the device holds a Photoshop (PSD or PSB) file whose header,
    // sections and image data all lie within the input and whose run-length
    // rows each unpack to exactly one row. Leaves the position at the start.
    static bool psdIsComplete(QIODevice *device);

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
};
