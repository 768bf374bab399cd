#include "imaging/ImageFileCheck.h"

#include "imaging/FreeImageDeviceIO.h"
#include "imaging/FreeImageErrorTrap.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <vector>

namespace {

// Big-endian reader that remembers running past the end.
class Reader
{
public:
    explicit Reader(QIODevice *device) : m_device(device) { }

    bool ok() const { return m_ok; }
    qint64 pos() const { return m_device->pos(); }
    qint64 size() const { return m_device->size(); }
    uint64_t remaining() const { return uint64_t(std::max<qint64>(0, size() - pos())); }

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

    QByteArray bytes(uint64_t count)
    {
        if (!m_ok || count > remaining()) {
            m_ok = false;
            return {};
        }
        QByteArray data = m_device->read(qint64(count));
        if (uint64_t(data.size()) != count)
            m_ok = false;
        return data;
    }

    void skip(uint64_t bytes)
    {
        if (!m_ok || bytes > remaining() || !m_device->seek(pos() + qint64(bytes)))
            m_ok = false;
    }

private:
    QIODevice *m_device;
    bool m_ok = true;
};

// Puts the device back at the start whatever a check did to it.
class Rewind
{
public:
    explicit Rewind(QIODevice *device) : m_device(device) { }
    ~Rewind() { m_device->seek(0); }
    Rewind(const Rewind &) = delete;
    Rewind &operator=(const Rewind &) = delete;

private:
    QIODevice *m_device;
};

uint64_t ceilDiv(uint64_t a, uint64_t b)
{
    return a / b + (a % b != 0);
}

// a * b, or the largest value when the product does not fit.
uint64_t saturatingMul(uint64_t a, uint64_t b)
{
    if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
        return std::numeric_limits<uint64_t>::max();
    return a * b;
}

// Whether one run-length row (PackBits) unpacks to exactly rowBytes bytes
// using only its own packed bytes. A header n of 0..127 copies n + 1 bytes,
// -1..-127 repeats the next byte 1 - n times, -128 does nothing.
bool packBitsRowIsExact(const QByteArray &packed, uint64_t rowBytes)
{
    const auto *p = reinterpret_cast<const uint8_t *>(packed.constData());
    const qsizetype size = packed.size();
    uint64_t produced = 0;
    for (qsizetype i = 0; i < size;) {
        const auto header = int8_t(p[i++]);
        if (header >= 0) {
            const int literal = header + 1;
            if (literal > size - i)
                return false;
            produced += uint64_t(literal);
            i += literal;
        } else if (header != -128) {
            if (i >= size)
                return false;
            produced += uint64_t(1 - header);
            ++i;
        }
        if (produced > rowBytes)
            return false;
    }
    return produced == rowBytes;
}

// --- TIFF -------------------------------------------------------------------------

enum TiffTag : uint16_t {
    TagImageWidth = 256,
    TagImageLength = 257,
    TagBitsPerSample = 258,
    TagCompression = 259,
    TagPhotometric = 262,
    TagStripOffsets = 273,
    TagSamplesPerPixel = 277,
    TagRowsPerStrip = 278,
    TagStripByteCounts = 279,
    TagPlanarConfig = 284,
    TagColorMap = 320,
    TagTileWidth = 322,
    TagTileLength = 323,
    TagTileOffsets = 324,
    TagTileByteCounts = 325,
    TagExifIfd = 34665,
    TagGpsIfd = 34853,
    TagInteroperabilityIfd = 40965,
};

// A TIFF read through its directories, never past the end of the input.
class TiffFile
{
public:
    struct Entry
    {
        uint16_t tag = 0;
        uint16_t type = 0;
        uint64_t count = 0;
        uint64_t dataAt = 0; // where the value bytes are in the file
    };
    using Directory = std::vector<Entry>;

    explicit TiffFile(QIODevice *device) : m_device(device), m_size(uint64_t(device->size())) { }

    // The header; false when it is not one of a classic TIFF or a BigTIFF.
    bool readHeader(uint64_t *firstDirectory)
    {
        QByteArray header;
        if (!bytesAt(0, 8, &header))
            return false;
        if (header.startsWith("II"))
            m_little = true;
        else if (header.startsWith("MM"))
            m_little = false;
        else
            return false;
        const uint16_t version = word(header.constData() + 2);
        if (version == 42) {
            *firstDirectory = dword(header.constData() + 4);
            return true;
        }
        if (version != 43 || word(header.constData() + 4) != 8 || word(header.constData() + 6) != 0)
            return false;
        m_big = true;
        QByteArray offset;
        if (!bytesAt(8, 8, &offset))
            return false;
        *firstDirectory = qword(offset.constData());
        return true;
    }

    // One directory whose table and every entry's value lie within the input.
    bool readDirectory(uint64_t at, Directory *entries, uint64_t *next)
    {
        const unsigned countSize = m_big ? 8 : 2;
        const unsigned entrySize = m_big ? 20 : 12;
        const unsigned inlineSize = m_big ? 8 : 4;
        QByteArray countBytes;
        if (at < 8 || !bytesAt(at, countSize, &countBytes))
            return false;
        const uint64_t count = m_big ? qword(countBytes.constData()) : word(countBytes.constData());
        // libtiff refuses an empty directory; an impossible count is damage.
        if (count == 0 || count > (m_size - at) / entrySize)
            return false;
        QByteArray table;
        if (!bytesAt(at + countSize, count * entrySize + (m_big ? 8 : 4), &table))
            return false;
        entries->clear();
        entries->reserve(size_t(count));
        for (uint64_t i = 0; i < count; ++i) {
            const char *e = table.constData() + i * entrySize;
            Entry entry;
            entry.tag = word(e);
            entry.type = word(e + 2);
            entry.count = m_big ? qword(e + 4) : dword(e + 4);
            const uint64_t valueField = at + countSize + i * entrySize + (m_big ? 12 : 8);
            const unsigned unit = typeSize(entry.type);
            if (unit == 0) {
                // libtiff ignores entries of types it does not know.
                entry.count = 0;
                entry.dataAt = valueField;
            } else {
                const uint64_t bytes = saturatingMul(entry.count, unit);
                if (bytes <= inlineSize) {
                    entry.dataAt = valueField;
                } else {
                    entry.dataAt = m_big ? qword(e + 12) : dword(e + 8);
                    if (entry.dataAt > m_size || bytes > m_size - entry.dataAt)
                        return false;
                }
            }
            entries->push_back(entry);
        }
        const char *nextField = table.constData() + count * entrySize;
        *next = m_big ? qword(nextField) : dword(nextField);
        return true;
    }

    static const Entry *find(const Directory &entries, uint16_t tag)
    {
        for (const Entry &e : entries) {
            if (e.tag == tag)
                return &e;
        }
        return nullptr;
    }

    // The integer values of an entry (any unsigned or signed integer type);
    // false for other types or values outside the input.
    bool values(const Entry &entry, std::vector<uint64_t> *out)
    {
        const unsigned unit = typeSize(entry.type);
        const bool integer = entry.type == 1 || entry.type == 3 || entry.type == 4
            || entry.type == 6 || entry.type == 8 || entry.type == 9 || entry.type == 13
            || entry.type == 16 || entry.type == 17 || entry.type == 18;
        if (!integer || entry.count == 0)
            return false;
        QByteArray data;
        if (!bytesAt(entry.dataAt, entry.count * unit, &data))
            return false;
        out->resize(size_t(entry.count));
        for (uint64_t i = 0; i < entry.count; ++i) {
            const char *p = data.constData() + i * unit;
            switch (unit) {
            case 1:
                (*out)[i] = uint8_t(*p);
                break;
            case 2:
                (*out)[i] = word(p);
                break;
            case 4:
                (*out)[i] = dword(p);
                break;
            default:
                (*out)[i] = qword(p);
                break;
            }
        }
        return true;
    }

    // The first value of an integer entry, or fallback when the tag is absent;
    // nothing when it is present but unreadable.
    std::optional<uint64_t> value(const Directory &entries, uint16_t tag, uint64_t fallback)
    {
        const Entry *e = find(entries, tag);
        if (!e)
            return fallback;
        std::vector<uint64_t> v;
        if (!values(*e, &v))
            return std::nullopt;
        return v.front();
    }

    uint64_t size() const { return m_size; }

private:
    static unsigned typeSize(uint16_t type)
    {
        switch (type) {
        case 1: // BYTE
        case 2: // ASCII
        case 6: // SBYTE
        case 7: // UNDEFINED
            return 1;
        case 3: // SHORT
        case 8: // SSHORT
            return 2;
        case 4: // LONG
        case 9: // SLONG
        case 11: // FLOAT
        case 13: // IFD
            return 4;
        case 5: // RATIONAL
        case 10: // SRATIONAL
        case 12: // DOUBLE
        case 16: // LONG8
        case 17: // SLONG8
        case 18: // IFD8
            return 8;
        default:
            return 0;
        }
    }

    bool bytesAt(uint64_t at, uint64_t count, QByteArray *out)
    {
        if (at > m_size || count > m_size - at || !m_device->seek(qint64(at)))
            return false;
        *out = m_device->read(qint64(count));
        return uint64_t(out->size()) == count;
    }

    uint16_t word(const char *p) const
    {
        const auto a = uint8_t(p[0]), b = uint8_t(p[1]);
        return m_little ? uint16_t(a | (b << 8)) : uint16_t((a << 8) | b);
    }
    uint32_t dword(const char *p) const
    {
        const uint32_t lo = word(p), hi = word(p + 2);
        return m_little ? (lo | (hi << 16)) : ((lo << 16) | hi);
    }
    uint64_t qword(const char *p) const
    {
        const uint64_t lo = dword(p), hi = dword(p + 4);
        return m_little ? (lo | (hi << 32)) : ((lo << 32) | hi);
    }

    QIODevice *m_device;
    uint64_t m_size;
    bool m_little = true;
    bool m_big = false;
};

// Bounds that no picture the program works with comes near; larger values
// are damage.
constexpr uint64_t kMaxTiffDirectories = 65536;
constexpr uint64_t kMaxSamplesPerPixel = 64;
constexpr uint64_t kMaxBitsPerSample = 64;

struct TiffImage
{
    ImageFileCheck::PictureSize size;
    uint64_t photometric = uint64_t(-1);
};

// The first image of a TIFF, when the whole structure holds together.
std::optional<TiffImage> readTiff(QIODevice *device)
{
    TiffFile tiff(device);
    uint64_t first = 0;
    if (!tiff.readHeader(&first))
        return std::nullopt;

    // The directory chain, with a guard against loops.
    TiffFile::Directory image;
    std::set<uint64_t> seen;
    for (uint64_t at = first; at != 0;) {
        if (!seen.insert(at).second || seen.size() > kMaxTiffDirectories)
            return std::nullopt;
        TiffFile::Directory entries;
        uint64_t next = 0;
        if (!tiff.readDirectory(at, &entries, &next))
            return std::nullopt;
        if (at == first)
            image = std::move(entries);
        at = next;
    }

    // The EXIF and GPS directories FreeImage reads its metadata from.
    for (const uint16_t tag : {TagExifIfd, TagGpsIfd}) {
        if (!TiffFile::find(image, tag))
            continue;
        const std::optional<uint64_t> at = tiff.value(image, tag, 0);
        TiffFile::Directory entries;
        uint64_t next = 0;
        if (!at || !tiff.readDirectory(*at, &entries, &next))
            return std::nullopt;
        if (tag == TagExifIfd && TiffFile::find(entries, TagInteroperabilityIfd)) {
            const std::optional<uint64_t> interop = tiff.value(entries, TagInteroperabilityIfd, 0);
            TiffFile::Directory inner;
            if (!interop || !tiff.readDirectory(*interop, &inner, &next))
                return std::nullopt;
        }
    }

    const std::optional<uint64_t> width = tiff.value(image, TagImageWidth, 0);
    const std::optional<uint64_t> height = tiff.value(image, TagImageLength, 0);
    const std::optional<uint64_t> samples = tiff.value(image, TagSamplesPerPixel, 1);
    const std::optional<uint64_t> compression = tiff.value(image, TagCompression, 1);
    const std::optional<uint64_t> planar = tiff.value(image, TagPlanarConfig, 1);
    const std::optional<uint64_t> photometric = tiff.value(image, TagPhotometric, uint64_t(-1));
    if (!width || !height || !samples || !compression || !planar || !photometric || *width == 0
        || *height == 0 || *samples == 0 || *samples > kMaxSamplesPerPixel
        || (*planar != 1 && *planar != 2))
        return std::nullopt;

    // One value per sample (or one for all), all the same, as libtiff takes them.
    uint64_t bits = 1;
    if (const TiffFile::Entry *e = TiffFile::find(image, TagBitsPerSample)) {
        std::vector<uint64_t> v;
        if (!tiff.values(*e, &v) || (v.size() != 1 && v.size() < *samples))
            return std::nullopt;
        bits = v.front();
        for (uint64_t i = 0; i < std::min<uint64_t>(v.size(), *samples); ++i) {
            if (v[i] != bits)
                return std::nullopt;
        }
    }
    if (bits == 0 || bits > kMaxBitsPerSample)
        return std::nullopt;

    // A palette holds three tables of 2^bits entries.
    if (*photometric == 3) {
        const TiffFile::Entry *map = TiffFile::find(image, TagColorMap);
        if (bits > 16 || !map || map->count != (uint64_t(3) << bits))
            return std::nullopt;
    }

    // The strips or tiles: enough of them for the picture, each inside the
    // input, and uncompressed ones holding the bytes their rows need.
    const uint64_t planes = *planar == 2 ? *samples : 1;
    const uint64_t samplesPerChunk = *planar == 2 ? 1 : *samples;
    const bool uncompressed = *compression == 1;
    const bool tiled = TiffFile::find(image, TagTileWidth) || TiffFile::find(image, TagTileLength);
    uint64_t chunks = 0;
    uint64_t chunkWidth = *width;
    uint64_t chunkRows = *height;
    uint64_t chunksDown = 1;
    uint16_t offsetsTag = TagStripOffsets;
    uint16_t countsTag = TagStripByteCounts;
    if (tiled) {
        const std::optional<uint64_t> tileWidth = tiff.value(image, TagTileWidth, 0);
        const std::optional<uint64_t> tileLength = tiff.value(image, TagTileLength, 0);
        if (!tileWidth || !tileLength || *tileWidth == 0 || *tileLength == 0)
            return std::nullopt;
        chunkWidth = *tileWidth;
        chunkRows = *tileLength;
        chunksDown = ceilDiv(*height, chunkRows);
        chunks = saturatingMul(saturatingMul(ceilDiv(*width, chunkWidth), chunksDown), planes);
        offsetsTag = TagTileOffsets;
        countsTag = TagTileByteCounts;
    } else {
        const std::optional<uint64_t> rowsPerStrip = tiff.value(image, TagRowsPerStrip, *height);
        if (!rowsPerStrip || *rowsPerStrip == 0)
            return std::nullopt;
        chunkRows = std::min(*rowsPerStrip, *height);
        chunksDown = ceilDiv(*height, chunkRows);
        chunks = saturatingMul(chunksDown, planes);
    }
    const TiffFile::Entry *offsetsEntry = TiffFile::find(image, offsetsTag);
    const TiffFile::Entry *countsEntry = TiffFile::find(image, countsTag);
    // Every offset takes at least a byte of the input, so a larger count is damage.
    if (!offsetsEntry || chunks > tiff.size() || offsetsEntry->count < chunks)
        return std::nullopt;
    std::vector<uint64_t> offsets;
    std::vector<uint64_t> counts;
    if (!tiff.values(*offsetsEntry, &offsets))
        return std::nullopt;
    if (countsEntry) {
        if (countsEntry->count < chunks || !tiff.values(*countsEntry, &counts))
            return std::nullopt;
    } else if (!uncompressed) {
        // libtiff can only estimate the byte counts of uncompressed data.
        return std::nullopt;
    }
    const uint64_t rowBytes
        = ceilDiv(saturatingMul(saturatingMul(chunkWidth, bits), samplesPerChunk), 8);
    for (uint64_t i = 0; i < chunks; ++i) {
        const uint64_t at = offsets[i];
        if (at >= tiff.size())
            return std::nullopt;
        const uint64_t available = tiff.size() - at;
        if (!counts.empty() && (counts[i] == 0 || counts[i] > available))
            return std::nullopt;
        if (uncompressed) {
            // The last strip of a plane holds only the rows that are left.
            const uint64_t down = i % chunksDown;
            const uint64_t rows
                = tiled || down + 1 < chunksDown ? chunkRows : *height - down * chunkRows;
            if (saturatingMul(rows, rowBytes) > available)
                return std::nullopt;
        }
    }

    TiffImage result;
    result.size.width = *width;
    result.size.height = *height;
    result.size.bitsPerPixel = unsigned(bits * *samples);
    result.photometric = *photometric;
    return result;
}

// --- declared sizes of the other formats ------------------------------------------

uint32_t le16(const QByteArray &b, int at)
{
    return uint32_t(uint8_t(b[at])) | (uint32_t(uint8_t(b[at + 1])) << 8);
}
uint32_t le32(const QByteArray &b, int at)
{
    return le16(b, at) | (le16(b, at + 2) << 16);
}
uint32_t be16(const QByteArray &b, int at)
{
    return (uint32_t(uint8_t(b[at])) << 8) | uint32_t(uint8_t(b[at + 1]));
}
uint32_t be32(const QByteArray &b, int at)
{
    return (be16(b, at) << 16) | be16(b, at + 2);
}

using Size = ImageFileCheck::PictureSize;

std::optional<Size> pngSize(QIODevice *device)
{
    const QByteArray h = device->read(26);
    if (h.size() < 26 || !h.startsWith("\x89PNG\r\n\x1a\n") || h.mid(12, 4) != "IHDR")
        return std::nullopt;
    const unsigned depth = uint8_t(h[24]);
    const unsigned colour = uint8_t(h[25]);
    // Channels of the bitmap FreeImage makes: grey and palette one, grey
    // with alpha becomes RGBA.
    const unsigned channels = colour == 2 ? 3 : colour == 4 || colour == 6 ? 4 : 1;
    const unsigned sampleBits = depth > 8 ? 16 : 8;
    return Size {be32(h, 16), be32(h, 20), channels * sampleBits};
}

std::optional<Size> gifSize(QIODevice *device)
{
    Reader in(device);
    const QByteArray h = in.bytes(13);
    if (!in.ok() || (!h.startsWith("GIF87a") && !h.startsWith("GIF89a")))
        return std::nullopt;
    Size screen {le16(h, 6), le16(h, 8), 8};
    const auto flags = uint8_t(h[10]);
    if (flags & 0x80)
        in.skip(3ull << ((flags & 7) + 1));
    // FreeImage allocates the first frame; its descriptor follows the extensions.
    while (in.ok()) {
        const uint64_t block = in.read(1);
        if (block == 0x2C) {
            const QByteArray d = in.bytes(9);
            if (!in.ok())
                break;
            const Size frame {le16(d, 4), le16(d, 6), 8};
            return frame.width * frame.height > screen.width * screen.height ? frame : screen;
        }
        if (block != 0x21)
            break;
        in.read(1); // label
        for (uint64_t length = in.read(1); in.ok() && length != 0; length = in.read(1))
            in.skip(length);
    }
    return std::nullopt;
}

std::optional<Size> bmpSize(QIODevice *device)
{
    const QByteArray h = device->read(30);
    if (h.size() < 26 || !h.startsWith("BM"))
        return std::nullopt;
    const uint32_t header = le32(h, 14);
    if (header == 12)
        return Size {le16(h, 18), le16(h, 20), std::max(1u, le16(h, 24))};
    if (h.size() < 30 || header < 16)
        return std::nullopt;
    const auto width = int32_t(le32(h, 18));
    const auto height = int32_t(le32(h, 22));
    const unsigned bits = le16(h, 28);
    return Size {uint64_t(std::abs(int64_t(width))), uint64_t(std::abs(int64_t(height))),
                 bits == 0 ? 32u : bits};
}

std::optional<Size> jpegSize(QIODevice *device)
{
    Reader in(device);
    if (in.read(2) != 0xFFD8)
        return std::nullopt;
    while (in.ok()) {
        if (in.read(1) != 0xFF)
            return std::nullopt;
        uint64_t marker = in.read(1);
        while (in.ok() && marker == 0xFF) // fill bytes
            marker = in.read(1);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // no length
        if (marker == 0xD9 || marker == 0xDA)
            return std::nullopt; // end, or the scan before any frame header
        const uint64_t length = in.read(2);
        if (length < 2)
            return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC;
        if (frame) {
            in.read(1); // precision
            const uint64_t height = in.read(2);
            const uint64_t width = in.read(2);
            const uint64_t components = in.read(1);
            if (!in.ok())
                return std::nullopt;
            return Size {width, height, unsigned(8 * std::clamp<uint64_t>(components, 1, 4))};
        }
        in.skip(length - 2);
    }
    return std::nullopt;
}

std::optional<Size> psdSize(QIODevice *device)
{
    const QByteArray h = device->read(26);
    if (h.size() < 26 || !h.startsWith("8BPS"))
        return std::nullopt;
    const unsigned channels = std::clamp(be16(h, 12), 1u, 4u);
    const unsigned depth = be16(h, 22);
    return Size {be32(h, 18), be32(h, 14), channels * std::max(depth, 1u)};
}

std::optional<Size> pcxSize(QIODevice *device)
{
    const QByteArray h = device->read(66);
    if (h.size() < 66 || uint8_t(h[0]) != 0x0A)
        return std::nullopt;
    const uint32_t left = le16(h, 4), top = le16(h, 6), right = le16(h, 8), bottom = le16(h, 10);
    if (right < left || bottom < top)
        return std::nullopt;
    return Size {right - left + 1u, bottom - top + 1u,
                 std::max(8u, unsigned(uint8_t(h[3])) * std::max(1u, unsigned(uint8_t(h[65]))))};
}

std::optional<Size> targaSize(QIODevice *device)
{
    // No signature: the header must at least describe a picture FreeImage reads.
    const QByteArray h = device->read(18);
    if (h.size() < 18)
        return std::nullopt;
    const unsigned mapType = uint8_t(h[1]);
    const unsigned imageType = uint8_t(h[2]);
    const unsigned depth = uint8_t(h[16]);
    const bool knownType
        = (imageType >= 1 && imageType <= 3) || (imageType >= 9 && imageType <= 11);
    if (mapType > 1 || !knownType
        || (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        return std::nullopt;
    return Size {le16(h, 12), le16(h, 14), std::max(8u, depth)};
}

std::optional<Size> rasSize(QIODevice *device)
{
    const QByteArray h = device->read(16);
    if (h.size() < 16 || be32(h, 0) != 0x59a66a95u)
        return std::nullopt;
    return Size {be32(h, 4), be32(h, 8), std::max(8u, be32(h, 12))};
}

// PBM, PGM and PPM: "P1".."P6", then width, height and (but for bitmaps) the
// largest value, separated by white space and comments.
std::optional<Size> pnmSize(QIODevice *device)
{
    const QByteArray h = device->read(1024);
    if (h.size() < 3 || h[0] != 'P' || h[1] < '1' || h[1] > '6')
        return std::nullopt;
    const int kind = h[1] - '0';
    const bool bitmap = kind == 1 || kind == 4;
    const bool colour = kind == 3 || kind == 6;
    uint64_t numbers[3] = {0, 0, 255};
    int at = 2;
    for (int n = 0; n < (bitmap ? 2 : 3); ++n) {
        while (at < h.size() && (std::isspace(uint8_t(h[at])) || h[at] == '#')) {
            if (h[at] == '#') {
                while (at < h.size() && h[at] != '\n')
                    ++at;
            } else {
                ++at;
            }
        }
        if (at >= h.size() || !std::isdigit(uint8_t(h[at])))
            return std::nullopt;
        uint64_t value = 0;
        while (at < h.size() && std::isdigit(uint8_t(h[at])) && value < (uint64_t(1) << 40))
            value = value * 10 + uint64_t(h[at++] - '0');
        numbers[n] = value;
    }
    const unsigned sample = numbers[2] > 255 ? 16 : 8;
    return Size {numbers[0], numbers[1], bitmap ? 1u : (colour ? 3 : 1) * sample};
}

// Formats read nowhere else: FreeImage's header-only load, where the format
// has one.
std::optional<Size> headerOnlySize(FREE_IMAGE_FORMAT fif, QIODevice *device)
{
    if (!FreeImage_FIFSupportsNoPixels(fif))
        return std::nullopt;
    FreeImageDeviceIO input(device);
    FreeImageErrorTrap trap;
    FIBITMAP *dib = FreeImage_LoadFromHandle(fif, input.io(), input.handle(), FIF_LOAD_NOPIXELS);
    if (!dib)
        return std::nullopt;
    const Size size {FreeImage_GetWidth(dib), FreeImage_GetHeight(dib), FreeImage_GetBPP(dib)};
    FreeImage_Unload(dib);
    return size;
}

} // namespace

bool ImageFileCheck::psdIsComplete(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Rewind rewind(device);
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
            // Run-length rows: a table of packed row sizes, then the rows,
            // each of which must unpack to exactly one row of pixels.
            const uint64_t rows = channels * height;
            const int entry = large ? 4 : 2;
            if (rows * uint64_t(entry) > in.remaining()) {
                complete = false;
            } else {
                std::vector<uint64_t> packed(rows);
                uint64_t total = 0;
                for (uint64_t r = 0; r < rows && in.ok(); ++r) {
                    packed[r] = in.read(entry);
                    total += packed[r];
                }
                complete = in.ok() && total <= in.remaining();
                for (uint64_t r = 0; r < rows && complete; ++r)
                    complete = packBitsRowIsExact(in.bytes(packed[r]), rowBytes) && in.ok();
            }
        } else {
            // Zip-compressed data is decoded by zlib, which checks its input.
        }
        complete = complete && in.ok();
    }
    return complete;
}

bool ImageFileCheck::bmpIsComplete(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Rewind rewind(device);
    const QByteArray h = device->read(54);
    if (h.size() < 26 || !h.startsWith("BM"))
        return false;
    const uint32_t headerSize = le32(h, 14);
    if (headerSize < 40 || h.size() < 54)
        return true; // OS/2 bitmaps are never run-length coded
    const uint32_t compression = le32(h, 30);
    if (compression != 1 && compression != 2)
        return true; // others are read row by row and refused when cut short
    const bool fourBits = compression == 2;
    const uint64_t width = uint64_t(std::abs(int64_t(int32_t(le32(h, 18)))));
    const uint64_t height = uint64_t(std::abs(int64_t(int32_t(le32(h, 22)))));
    const uint32_t offBits = le32(h, 10);
    if (!device->seek(offBits))
        return false;
    // Pairs of bytes: a run (count, value), or an escape (0, code): end of
    // line, end of bitmap, a move (two more bytes) or that many literal
    // pixels padded to a whole word. The codes must reach the end of the
    // bitmap, or its last row, inside the file, never leaving the picture.
    Reader in(device);
    uint64_t x = 0;
    uint64_t y = 0;
    while (in.ok()) {
        const uint64_t count = in.read(1);
        const uint64_t code = in.read(1);
        if (!in.ok())
            return false;
        if (count > 0) {
            x += count;
        } else if (code == 0) {
            x = 0;
            if (++y == height)
                return true;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            x += in.read(1);
            y += in.read(1);
        } else {
            const uint64_t bytes = fourBits ? (code + 1) / 2 : code;
            in.skip(bytes + (bytes & 1));
            x += code;
        }
        if (x > width || y >= height)
            return false;
    }
    return false;
}

bool ImageFileCheck::gifIsComplete(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Rewind rewind(device);
    Reader in(device);
    const QByteArray header = in.bytes(13);
    if (!in.ok() || (!header.startsWith("GIF87a") && !header.startsWith("GIF89a")))
        return false;
    const auto screenFlags = uint8_t(header[10]);
    if (screenFlags & 0x80)
        in.skip(3ull << ((screenFlags & 7) + 1));
    // A chain of sub-blocks, each a length byte and that many bytes, ended by
    // a zero length inside the input.
    auto subBlocks = [&in] {
        for (uint64_t length = in.read(1); in.ok() && length != 0; length = in.read(1))
            in.skip(length);
        return in.ok();
    };
    bool image = false;
    while (in.ok()) {
        const uint64_t block = in.read(1);
        if (block == 0x3B) // trailer
            return image;
        if (block == 0x21) { // extension: label, then sub-blocks
            in.read(1);
            if (!subBlocks())
                return false;
        } else if (block == 0x2C) { // image: descriptor, colour table, code size, data
            const QByteArray descriptor = in.bytes(9);
            if (!in.ok())
                return false;
            const auto flags = uint8_t(descriptor[8]);
            if (flags & 0x80)
                in.skip(3ull << ((flags & 7) + 1));
            const uint64_t codeSize = in.read(1);
            if (!in.ok() || codeSize < 1 || codeSize > 8 || !subBlocks())
                return false;
            image = true;
        } else {
            return false;
        }
    }
    return false; // cut short before the trailer
}

bool ImageFileCheck::targaIsComplete(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Rewind rewind(device);
    Reader in(device);
    const QByteArray h = in.bytes(18);
    if (!in.ok())
        return false;
    const auto byteAt = [&h](int at) { return unsigned(uint8_t(h[at])); };
    const unsigned idLength = byteAt(0);
    const unsigned mapType = byteAt(1);
    const unsigned imageType = byteAt(2);
    const uint64_t mapEntries = le16(h, 5);
    const unsigned mapEntryBits = byteAt(7);
    const uint64_t width = le16(h, 12);
    const uint64_t height = le16(h, 14);
    const unsigned depth = byteAt(16);
    const bool runLength = imageType >= 9 && imageType <= 11;
    if (mapType > 1 || !((imageType >= 1 && imageType <= 3) || runLength) || width == 0
        || height == 0 || (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        return false;
    // A version 2 file ends with a footer the pixels must stop before.
    uint64_t end = uint64_t(in.size());
    if (end >= 18 + 26) {
        const qint64 at = in.pos();
        device->seek(qint64(end) - 18);
        if (device->read(18) == QByteArray("TRUEVISION-XFILE.\0", 18))
            end -= 26;
        device->seek(at);
    }
    in.skip(idLength);
    if (mapType == 1)
        in.skip(mapEntries * ((mapEntryBits + 7) / 8));
    const uint64_t pixelBytes = (depth + 7) / 8;
    const uint64_t pixels = width * height;
    if (!in.ok() || uint64_t(in.pos()) > end)
        return false;
    uint64_t available = end - uint64_t(in.pos());
    if (!runLength)
        return pixels * pixelBytes <= available;
    // Packets: a header byte, then one pixel repeated (high bit set) or
    // (header & 0x7F) + 1 pixels as they are; together exactly the picture.
    for (uint64_t done = 0; done < pixels;) {
        if (available < 1)
            return false;
        const uint64_t header = in.read(1);
        --available;
        const uint64_t count = (header & 0x7F) + 1;
        const uint64_t bytes = (header & 0x80) ? pixelBytes : count * pixelBytes;
        if (!in.ok() || bytes > available || count > pixels - done)
            return false;
        in.skip(bytes);
        available -= bytes;
        done += count;
    }
    return in.ok();
}

bool ImageFileCheck::tiffIsSound(QIODevice *device)
{
    if (!device || !device->seek(0))
        return false;
    Rewind rewind(device);
    return readTiff(device).has_value();
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

std::optional<ImageFileCheck::PictureSize> ImageFileCheck::declaredSize(FREE_IMAGE_FORMAT fif,
                                                                        QIODevice *device)
{
    if (!device || !device->seek(0))
        return std::nullopt;
    Rewind rewind(device);
    switch (fif) {
    case FIF_TIFF:
        if (const std::optional<TiffImage> tiff = readTiff(device))
            return tiff->size;
        return std::nullopt;
    case FIF_PNG:
        return pngSize(device);
    case FIF_GIF:
        return gifSize(device);
    case FIF_BMP:
        return bmpSize(device);
    case FIF_JPEG:
        return jpegSize(device);
    case FIF_PSD:
        return psdSize(device);
    case FIF_PCX:
        return pcxSize(device);
    case FIF_TARGA:
        return targaSize(device);
    case FIF_RAS:
        return rasSize(device);
    case FIF_PBM:
    case FIF_PBMRAW:
    case FIF_PGM:
    case FIF_PGMRAW:
    case FIF_PPM:
    case FIF_PPMRAW:
        return pnmSize(device);
    default:
        return headerOnlySize(fif, device);
    }
}

bool ImageFileCheck::readsDeclaredSize(FREE_IMAGE_FORMAT fif)
{
    switch (fif) {
    case FIF_TIFF:
    case FIF_PNG:
    case FIF_GIF:
    case FIF_BMP:
    case FIF_JPEG:
    case FIF_PSD:
    case FIF_PCX:
    case FIF_TARGA:
    case FIF_RAS:
    case FIF_PBM:
    case FIF_PBMRAW:
    case FIF_PGM:
    case FIF_PGMRAW:
    case FIF_PPM:
    case FIF_PPMRAW:
        return true;
    default:
        return FreeImage_FIFSupportsNoPixels(fif) != FALSE;
    }
}

double ImageFileCheck::memoryNeeded(const PictureSize &size)
{
    // FreeImage's scan lines are padded to four bytes; the raster holds four
    // bytes a pixel whatever the picture's depth.
    const double width = double(size.width);
    const double height = double(size.height);
    const double pitch = std::ceil(width * std::max(1u, size.bitsPerPixel) / 32.0) * 4.0;
    return 2.0 * pitch * height + 4.0 * width * height;
}

QString ImageFileCheck::sizeRefusal(const PictureSize &size)
{
    const double needed = memoryNeeded(size);
    if (needed <= double(kPictureMemoryLimit))
        return {};
    constexpr uint64_t gigabyte = uint64_t(1) << 30;
    const double limit = double(kPictureMemoryLimit) / double(gigabyte);
    // One decimal; rounded up where rounding would show the limit itself.
    const double gb = needed / double(gigabyte);
    double shown = std::floor(gb * 10 + 0.5) / 10;
    if (shown <= limit)
        shown = std::ceil(gb * 10) / 10;
    const QString amount = QString::number(shown, 'f', 1);
    return QStringLiteral("The picture is %1 \u00d7 %2 pixels; it would need %3 GB of memory, "
                          "more than the %4 GB Densora allows.")
        .arg(size.width)
        .arg(size.height)
        .arg(amount)
        .arg(kPictureMemoryLimit / gigabyte);
}
