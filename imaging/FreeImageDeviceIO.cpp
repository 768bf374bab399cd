#include "imaging/FreeImageDeviceIO.h"

#include <QIODevice>

#include <cstdio>

FreeImageDeviceIO::FreeImageDeviceIO(QIODevice *device) : m_device(device)
{
    m_io.read_proc = &FreeImageDeviceIO::read;
    m_io.write_proc = &FreeImageDeviceIO::write;
    m_io.seek_proc = &FreeImageDeviceIO::seek;
    m_io.tell_proc = &FreeImageDeviceIO::tell;
}

unsigned DLL_CALLCONV FreeImageDeviceIO::read(void *buffer, unsigned size, unsigned count,
                                              fi_handle handle)
{
    // fread's contract: up to size * count bytes, the answer is the number of
    // whole items read. Nothing is written past the bytes actually read: a
    // decoder working on a damaged file may ask for far more than its buffer
    // holds (once about 3.9 GB into a few bytes), so filling the rest of the
    // request would overrun that buffer.
    auto *self = static_cast<FreeImageDeviceIO *>(handle);
    if (size == 0 || count == 0)
        return 0;
    const qint64 wanted = qint64(size) * count;
    qint64 got = self->m_device->read(static_cast<char *>(buffer), wanted);
    if (got < 0)
        got = 0;
    if (got < wanted)
        self->m_readPastEnd = true;
    return unsigned(got / size);
}

unsigned DLL_CALLCONV FreeImageDeviceIO::write(void *buffer, unsigned size, unsigned count,
                                               fi_handle handle)
{
    auto *self = static_cast<FreeImageDeviceIO *>(handle);
    if (size == 0)
        return 0;
    const qint64 put
        = self->m_device->write(static_cast<const char *>(buffer), qint64(size) * count);
    return put <= 0 ? 0 : unsigned(put / size);
}

int DLL_CALLCONV FreeImageDeviceIO::seek(fi_handle handle, long offset, int origin)
{
    auto *self = static_cast<FreeImageDeviceIO *>(handle);
    QIODevice *device = self->m_device;
    qint64 target = offset;
    if (origin == SEEK_CUR)
        target += device->pos();
    else if (origin == SEEK_END)
        target += device->size();
    // Past the end of input only a damaged file sends a decoder; QBuffer
    // would say so on standard error as well.
    if (!device->isWritable() && target > device->size()) {
        self->m_readPastEnd = true;
        return -1;
    }
    return target >= 0 && device->seek(target) ? 0 : -1;
}

long DLL_CALLCONV FreeImageDeviceIO::tell(fi_handle handle)
{
    return long(static_cast<FreeImageDeviceIO *>(handle)->m_device->pos());
}
