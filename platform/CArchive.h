#pragma once

// Binary archive over a QIODevice, byte-compatible with the classic MFC archive:
// little-endian numbers, counts and strings in MFC's encodings, and objects
// written with class tags and back references (see WriteObject).

#include "platform/CObject.h"
#include "platform/Exceptions.h"
#include "platform/Geometry.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <unordered_map>
#include <vector>

class QIODevice;

class CArchive
{
public:
    enum Mode { store = 0, load = 1 };

    CArchive(QIODevice *device, Mode mode);
    CArchive(const CArchive &) = delete;
    CArchive &operator=(const CArchive &) = delete;
    ~CArchive();

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    QIODevice *GetFile() const { return m_device; }

    // The document being read or written, for objects that need it while serialising.
    CObject *m_pDocument = nullptr;

    // Raw bytes. A short read raises CArchiveException(endOfFile).
    void Read(void *buffer, qint64 size);
    void Write(const void *buffer, qint64 size);
    void Flush();
    void Close();

    // Bytes left to read when the device knows its size; -1 for a sequential device.
    qint64 BytesRemaining() const;
    // Raises endOfFile when fewer than 'size' bytes can still be read, so a damaged
    // count never makes a reader allocate more than the input could hold.
    void EnsureAvailable(qint64 size) const;

    // Appends 'count' raw values to 'out'. The count is checked against the
    // remaining input first, and on a device of unknown size the values are read
    // in bounded chunks, so a damaged count cannot make us allocate more than the
    // input actually delivered. Nothing is appended when the read fails.
    template<typename T>
        requires std::is_trivially_copyable_v<T>
    void ReadValues(std::vector<T> &out, uint64_t count)
    {
        EnsureAvailable(qint64(count) * qint64(sizeof(T)));
        constexpr uint64_t chunk = 4096;
        std::vector<T> loaded;
        while (loaded.size() < count) {
            const size_t at = loaded.size();
            const size_t n = size_t(std::min<uint64_t>(count - at, chunk));
            loaded.resize(at + n);
            Read(loaded.data() + at, qint64(n * sizeof(T)));
        }
        out.insert(out.end(), loaded.begin(), loaded.end());
    }

    template<typename T>
        requires std::is_arithmetic_v<T>
    CArchive &operator<<(T value)
    {
        static_assert(sizeof(T) != sizeof(long) || !std::is_same_v<T, long>,
                      "long differs in size between platforms; use a fixed-width type");
        if constexpr (std::is_same_v<T, bool>) {
            const uint8_t b = value ? 1 : 0;
            Write(&b, 1);
        } else {
            Write(&value, sizeof(T));
        }
        return *this;
    }
    template<typename T>
        requires std::is_arithmetic_v<T>
    CArchive &operator>>(T &value)
    {
        static_assert(!std::is_same_v<T, long> && !std::is_same_v<T, unsigned long>,
                      "long differs in size between platforms; use a fixed-width type");
        if constexpr (std::is_same_v<T, bool>) {
            uint8_t b = 0;
            Read(&b, 1);
            value = b != 0;
        } else {
            Read(&value, sizeof(T));
        }
        return *this;
    }

    CArchive &operator<<(const QString &s) { WriteString(s); return *this; }
    CArchive &operator>>(QString &s) { s = ReadString(); return *this; }
    CArchive &operator<<(const CPoint &p) { return *this << int32_t(p.x) << int32_t(p.y); }
    // Points and rectangles are picture coordinates: a value no picture could
    // have (beyond +-kMaxCoordinate) comes from a damaged file and is refused
    // with CArchiveException, so the arithmetic on them cannot overflow.
    static constexpr int32_t kMaxCoordinate = 1 << 28;
    CArchive &operator>>(CPoint &p);
    CArchive &operator<<(const CSize &s) { return *this << int32_t(s.cx) << int32_t(s.cy); }
    CArchive &operator>>(CSize &s) { return *this >> s.cx >> s.cy; }
    CArchive &operator<<(const CRect &r)
    {
        return *this << int32_t(r.left) << int32_t(r.top) << int32_t(r.right) << int32_t(r.bottom);
    }
    CArchive &operator>>(CRect &r);

    // Strings are written in the Unicode form; both forms are read.
    void WriteString(const QString &s);
    QString ReadString();

    // MFC's count encoding: WORD below 0xFFFF, else 0xFFFF and a DWORD.
    void WriteCount(uint32_t count);
    uint32_t ReadCount();

    // Object protocol. Classes and objects share one index counter starting at 1.
    void WriteObject(const CObject *object);
    // Reads an object (or null, or a back reference). When 'expected' is given the
    // object must be of that kind, else badClass. Newly created objects belong to
    // the caller.
    CObject *ReadObject(const CRuntimeClass *expected = nullptr);
    template<typename T>
    T *ReadObjectAs()
    {
        return static_cast<T *>(ReadObject(RUNTIME_CLASS(T)));
    }

    // Reads an object the caller takes sole ownership of: a back reference is
    // refused (badIndex), and once read, the object and everything read inside
    // it can no longer be referred back to, so a later reference can never
    // reach an object its owner has already deleted. Null is returned as null.
    template<typename T>
    std::unique_ptr<T> ReadOwnedObject()
    {
        return std::unique_ptr<T>(static_cast<T *>(ReadOwned(RUNTIME_CLASS(T))));
    }
    CObject *ReadOwned(const CRuntimeClass *expected);

    // Schema of the object being read (valid once, inside its Serialize).
    unsigned GetObjectSchema();
    // The same, for classes that are also read in place (no class tag, so no
    // schema was read): then 'inPlaceSchema' is the answer.
    unsigned GetObjectSchemaOr(unsigned inPlaceSchema)
    {
        const unsigned schema = GetObjectSchema();
        return schema == unsigned(-1) ? inPlaceSchema : schema;
    }
    void SetObjectSchema(unsigned schema) { m_nObjectSchema = schema; }

    void WriteClass(const CRuntimeClass *cls);
    CRuntimeClass *ReadClass(const CRuntimeClass *expected = nullptr, unsigned *schema = nullptr);

private:
    struct LoadEntry
    {
        CObject *object = nullptr;
        CRuntimeClass *cls = nullptr;
        unsigned schema = 0;
    };

    void WriteIndex(uint32_t index, bool isClass);
    void CheckMapCount() const;
    // Returns the class for a class tag; for an object tag returns null and sets *objectTag.
    CRuntimeClass *ReadClassOrObjectTag(const CRuntimeClass *expected, unsigned *schema,
                                        uint32_t *objectTag);

    QIODevice *m_device;
    Mode m_mode;
    uint32_t m_nMapCount = 1;
    unsigned m_nObjectSchema = unsigned(-1);
    std::unordered_map<const void *, uint32_t> m_storeMap;
    std::vector<LoadEntry> m_loadArray;
};

inline CArchive &operator<<(CArchive &ar, const CObject *object)
{
    ar.WriteObject(object);
    return ar;
}
inline CArchive &operator>>(CArchive &ar, CObject *&object)
{
    object = ar.ReadObject(nullptr);
    return ar;
}
template<typename T>
    requires(std::is_base_of_v<CObject, T> && !std::is_same_v<T, CObject>)
CArchive &operator>>(CArchive &ar, T *&object)
{
    object = ar.ReadObjectAs<T>();
    return ar;
}
