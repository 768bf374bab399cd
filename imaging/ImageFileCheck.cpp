#include "imaging/ImageFileCheck.h"

#include <QIODevice>

#include <cstdint>

namespace {

// Big-endian reader that remembers running past the end.
class Reader
{
public:
    explicit Reader(QIODevice *device) : m_device(device) { }

    bool ok() const { return m_ok; }
    qint64 pos() const { return m_device->pos(); }
    qint64 size() const { return m_device->size(); }

    uint64_t read(int bytes)
    {
        unsigned char buffer[8] = {};
        if (!m_ok || m_device->read(reinterpret_cast<char *>(buffer), bytes) != bytes) {
            m_ok = false;
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | buffer[i];
        return value;
    }

    void skip(uint64_t bytes)
    {
        if (!m_ok || bytes > uint64_t(size() - pos()) || !m_device->seek(pos() + qint64(bytes)))
            m_ok = false;
    }

private:
    QIODevice *m_device;
    bool m_ok = true;
};

} // namespace

bool ImageFileCheck::psdIsComplete(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Reader in(device);
    const uint64_t signature = in.read(4);
    const uint64_t version = in.read(2);
    in.skip(6);
    const uint64_t channels = in.read(2);
    const uint64_t height = in.read(4);
    const uint64_t width = in.read(4);
    const uint64_t depth = in.read(2);
    in.read(2); // colour mode
    const bool large = version == 2;
    bool complete = in.ok() && signature == 0x38425053u /* "8BPS" */ && (version == 1 || large)
        && channels >= 1 && channels <= 56 && width >= 1 && height >= 1 && width <= 300000
        && height <= 300000 && (depth == 1 || depth == 8 || depth == 16 || depth == 32);
    if (complete) {
        in.skip(in.read(4)); // colour mode data
        in.skip(in.read(4)); // image resources
        in.skip(in.read(large ? 8 : 4)); // layer and mask information
        const uint64_t compression = in.read(2);
        const uint64_t rowBytes = (width * depth + 7) / 8;
        if (compression == 0) {
            in.skip(channels * height * rowBytes);
        } else if (compression == 1) {
            // Run-length rows: a table of packed row sizes, then the rows.
            const uint64_t rows = channels * height;
            const int entry = large ? 4 : 2;
            if (rows * uint64_t(entry) > uint64_t(in.size() - in.pos())) {
                complete = false;
            } else {
                uint64_t packed = 0;
                for (uint64_t r = 0; r < rows && in.ok(); ++r)
                    packed += in.read(entry);
                in.skip(packed);
            }
        } else {
            // Zip-compressed data is decoded by zlib, which checks its input.
        }
        complete = complete && in.ok();
    }
    device->seek(0);
    return complete;
}

int ImageFileCheck::tiffPhotometric(QIODevice *device)
{
    if (!device || !device->seek(0))
        return -1;
    const QByteArray header = device->read(8);
    int result = -1;
    if (header.size() == 8 && (header.startsWith("II") || header.startsWith("MM"))) {
        const bool little = header[0] == 'I';
        auto word = [little](const char *p) {
            const auto a = uint8_t(p[0]), b = uint8_t(p[1]);
            return little ? uint16_t(a | (b << 8)) : uint16_t((a << 8) | b);
        };
        auto dword = [little, &word](const char *p) {
            const uint32_t lo = word(p), hi = word(p + 2);
            return little ? (lo | (hi << 16)) : ((lo << 16) | hi);
        };
        const uint32_t ifd = dword(header.constData() + 4);
        if (word(header.constData() + 2) == 42 && device->seek(qint64(ifd))) {
            const QByteArray countBytes = device->read(2);
            const int count = countBytes.size() == 2 ? word(countBytes.constData()) : 0;
            // Entries are sorted by tag; 262 comes early, so a short read is enough.
            const QByteArray entries = device->read(qint64(count) * 12);
            for (int i = 0; i + 1 <= count && (i + 1) * 12 <= entries.size(); ++i) {
                const char *e = entries.constData() + i * 12;
                if (word(e) == 262 && word(e + 2) == 3 && dword(e + 4) == 1) {
                    result = word(e + 8);
                    break;
                }
            }
        }
    }
    device->seek(0);
    return result;
}
