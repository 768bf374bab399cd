#pragma once

// FreeImage I/O over a QIODevice: pictures are written through QSaveFile or
// a QBuffer and read with a check for input that ends early. A read past the
// end gives what there was and is remembered, so that a decoder that ignores
// the count and works on with stale memory has its picture refused.
//
// The object is the handle FreeImage passes back to the callbacks, so it
// stays where it was made while FreeImage uses it.

#include <FreeImage.h>

class QIODevice;

class FreeImageDeviceIO
{
public:
    explicit FreeImageDeviceIO(QIODevice *device);
    FreeImageDeviceIO(const FreeImageDeviceIO &) = delete;
    FreeImageDeviceIO &operator=(const FreeImageDeviceIO &) = delete;

    FreeImageIO *io() { return &m_io; }
    fi_handle handle() { return static_cast<fi_handle>(this); }
    QIODevice *device() const { return m_device; }
    // Whether a decoder asked for more than the input held.
    bool readPastEnd() const { return m_readPastEnd; }

    // FreeImage's callbacks; handle is a FreeImageDeviceIO.
    static unsigned DLL_CALLCONV read(void *buffer, unsigned size, unsigned count,
                                      fi_handle handle);
    static unsigned DLL_CALLCONV write(void *buffer, unsigned size, unsigned count,
                                       fi_handle handle);
    static int DLL_CALLCONV seek(fi_handle handle, long offset, int origin);
    static long DLL_CALLCONV tell(fi_handle handle);

private:
    QIODevice *m_device;
    bool m_readPastEnd = false;
    FreeImageIO m_io;
};
