#pragma once

// Structural checks made before a picture is handed to a FreeImage decoder
// that trusts its input. FreeImage's Photoshop decoder reads run-length data
// of a file that ends early straight into memory it never checked, and
// crashes; a Photoshop file is therefore only decoded when every section and
// all the pixel data it announces are present.

class QIODevice;

class ImageFileCheck
{
public:
    // True when the device holds a Photoshop (PSD or PSB) file whose header,
    // sections and image data all lie within the input. Leaves the position
    // at the start.
    static bool psdIsComplete(QIODevice *device);

    // The PhotometricInterpretation of a TIFF's first image (0 WhiteIsZero,
    // 1 BlackIsZero, ...), or -1 when the device holds no readable TIFF or the
    // tag is absent. Leaves the position at the start.
    static int tiffPhotometric(QIODevice *device);
};
