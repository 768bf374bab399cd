#pragma once

// Test helpers shared by the libraries' test programs: write an archive into
// a byte array, read one back, and a pipe-like device of unknown size.

#include "platform/CArchive.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

template<typename F> QByteArray storeBytes(F &&write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    write(ar);
    ar.Close();
    return bytes;
}

template<typename F> void loadBytes(const QByteArray &bytes, F &&read)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    read(ar);
}

// A device that does not know its size, like a pipe, delivering fixed bytes.
class SequentialSource : public QIODevice
{
public:
    explicit SequentialSource(QByteArray bytes) : m_bytes(std::move(bytes))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_bytes.size() - m_offset + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, qint64(m_bytes.size()) - m_offset);
        if (n <= 0)
            return m_offset >= m_bytes.size() ? -1 : 0;
        std::memcpy(data, m_bytes.constData() + m_offset, size_t(n));
        m_offset += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_offset = 0;
};

inline QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}
