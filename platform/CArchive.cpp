#include "platform/CArchive.h"

#include <QIODevice>

namespace {
constexpr uint16_t wNullTag = 0;
constexpr uint16_t wNewClassTag = 0xFFFF;
constexpr uint16_t wClassTag = 0x8000;
constexpr uint32_t dwBigClassTag = 0x80000000u;
constexpr uint16_t wBigObjectTag = 0x7FFF;
constexpr uint32_t nMaxMapCount = 0x3FFFFFFEu;
} // namespace

CArchive::CArchive(QIODevice *device, Mode mode) : m_device(device), m_mode(mode)
{
    // Index 0 is the null object.
    if (mode == load)
        m_loadArray.push_back({});
}

CArchive::~CArchive() = default;

void CArchive::Read(void *buffer, qint64 size)
{
    if (IsStoring())
        throw CArchiveException(CArchiveException::writeOnly);
    if (size <= 0)
        return;
    qint64 done = 0;
    auto *out = static_cast<char *>(buffer);
    while (done < size) {
        const qint64 n = m_device->read(out + done, size - done);
        if (n <= 0) {
            // Sequential devices may deliver in pieces; wait briefly for more.
            if (n == 0 && m_device->isSequential() && m_device->waitForReadyRead(1000))
                continue;
            throw CArchiveException(CArchiveException::endOfFile);
        }
        done += n;
    }
}

void CArchive::Write(const void *buffer, qint64 size)
{
    if (IsLoading())
        throw CArchiveException(CArchiveException::readOnly);
    if (size <= 0)
        return;
    if (m_device->write(static_cast<const char *>(buffer), size) != size)
        throw CFileException(CFileException::diskFull, QString(),
                             QStringLiteral("cannot write: %1").arg(m_device->errorString()));
}

namespace {
void checkCoordinate(int32_t value)
{
    if (value < -CArchive::kMaxCoordinate || value > CArchive::kMaxCoordinate)
        throw CArchiveException(CArchiveException::genericException);
}
} // namespace

CArchive &CArchive::operator>>(CPoint &p)
{
    CPoint read;
    *this >> read.x >> read.y;
    checkCoordinate(read.x);
    checkCoordinate(read.y);
    p = read;
    return *this;
}

CArchive &CArchive::operator>>(CRect &r)
{
    CRect read;
    *this >> read.left >> read.top >> read.right >> read.bottom;
    for (const int32_t value : {read.left, read.top, read.right, read.bottom})
        checkCoordinate(value);
    r = read;
    return *this;
}

void CArchive::Flush() { }

void CArchive::Close() { Flush(); }

qint64 CArchive::BytesRemaining() const
{
    if (m_device->isSequential())
        return -1;
    return m_device->size() - m_device->pos();
}

void CArchive::EnsureAvailable(qint64 size) const
{
    const qint64 remaining = BytesRemaining();
    if (size < 0 || (remaining >= 0 && size > remaining))
        throw CArchiveException(CArchiveException::endOfFile);
}

void CArchive::WriteString(const QString &s)
{
    const auto len = uint32_t(s.size());
    *this << uint8_t(0xFF) << uint16_t(0xFFFE);
    if (len < 0xFF) {
        *this << uint8_t(len);
    } else if (len < 0xFFFE) {
        *this << uint8_t(0xFF) << uint16_t(len);
    } else {
        *this << uint8_t(0xFF) << uint16_t(0xFFFF) << uint32_t(len);
    }
    // QString holds UTF-16 code units in host order; the archive is little-endian.
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "archive code assumes a little-endian host");
    Write(s.utf16(), qint64(len) * 2);
}

QString CArchive::ReadString()
{
    bool unicode = false;
    uint32_t len = 0;
    uint8_t bLen = 0;
    *this >> bLen;
    if (bLen < 0xFF) {
        len = bLen;
    } else {
        uint16_t wLen = 0;
        *this >> wLen;
        if (wLen == 0xFFFE) {
            unicode = true;
            *this >> bLen;
            if (bLen < 0xFF) {
                len = bLen;
            } else {
                *this >> wLen;
                len = wLen;
            }
        } else {
            len = wLen;
        }
        if (bLen == 0xFF && len == 0xFFFF) {
            uint32_t dwLen = 0;
            *this >> dwLen;
            if (dwLen == 0xFFFFFFFFu)
                throw CArchiveException(CArchiveException::genericException);
            len = dwLen;
        }
    }
    if (unicode) {
        std::vector<char16_t> units;
        ReadValues(units, len);
        return QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
    }
    std::vector<char> narrow;
    ReadValues(narrow, len);
    return QString::fromLatin1(narrow.data(), qsizetype(narrow.size()));
}

void CArchive::WriteCount(uint32_t count)
{
    if (count < 0xFFFF) {
        *this << uint16_t(count);
    } else {
        *this << uint16_t(0xFFFF) << count;
    }
}

uint32_t CArchive::ReadCount()
{
    uint16_t w = 0;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    uint32_t dw = 0;
    *this >> dw;
    return dw;
}

void CArchive::CheckMapCount() const
{
    if (m_nMapCount >= nMaxMapCount)
        throw CArchiveException(CArchiveException::badIndex);
}

void CArchive::WriteIndex(uint32_t index, bool isClass)
{
    if (index < wBigObjectTag) {
        *this << uint16_t((isClass ? wClassTag : 0) | index);
    } else {
        *this << wBigObjectTag << ((isClass ? dwBigClassTag : 0) | index);
    }
}

void CArchive::WriteClass(const CRuntimeClass *cls)
{
    if (IsLoading())
        throw CArchiveException(CArchiveException::readOnly);
    if (cls->m_wSchema == 0xFFFFu)
        throw CArchiveException(CArchiveException::badClass); // not serialisable
    auto it = m_storeMap.find(cls);
    if (it != m_storeMap.end()) {
        WriteIndex(it->second, true);
        return;
    }
    *this << wNewClassTag;
    cls->Store(*this);
    CheckMapCount();
    m_storeMap[cls] = m_nMapCount++;
}

// Layout of one object:
//   null                 WORD 0x0000
//   known object         WORD index (or 0x7FFF, DWORD index)
//   new object           class tag, then the object's Serialize
// where the class tag is WORD 0xFFFF + schema WORD + name length WORD + name for
// a new class, or WORD 0x8000|index (or 0x7FFF, DWORD 0x80000000|index) for a known one.
void CArchive::WriteObject(const CObject *object)
{
    if (IsLoading())
        throw CArchiveException(CArchiveException::readOnly);
    if (!object) {
        *this << wNullTag;
        return;
    }
    auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        WriteIndex(it->second, false);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    CheckMapCount();
    m_storeMap[object] = m_nMapCount++;
    const_cast<CObject *>(object)->Serialize(*this);
}

CRuntimeClass *CArchive::ReadClassOrObjectTag(const CRuntimeClass *expected, unsigned *schema,
                                              uint32_t *objectTag)
{
    if (IsStoring())
        throw CArchiveException(CArchiveException::writeOnly);
    uint16_t wTag = 0;
    *this >> wTag;
    uint32_t obTag = 0;
    if (wTag == wBigObjectTag) {
        *this >> obTag;
    } else {
        obTag = (uint32_t(wTag & wClassTag) << 16) | (wTag & ~wClassTag);
    }
    if (!(obTag & dwBigClassTag)) {
        *objectTag = obTag;
        return nullptr;
    }

    CRuntimeClass *cls = nullptr;
    unsigned classSchema = 0;
    if (wTag == wNewClassTag) {
        cls = CRuntimeClass::Load(*this, &classSchema);
        if (!cls || cls->m_wSchema == 0xFFFFu)
            throw CArchiveException(CArchiveException::badClass);
        if (!cls->IsVersionable() && cls->StoredSchema() != classSchema)
            throw CArchiveException(CArchiveException::badSchema);
        CheckMapCount();
        m_loadArray.push_back({nullptr, cls, classSchema});
        ++m_nMapCount;
    } else {
        const uint32_t index = obTag & ~dwBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index].cls)
            throw CArchiveException(CArchiveException::badIndex);
        cls = m_loadArray[index].cls;
        classSchema = m_loadArray[index].schema;
    }
    if (expected && !cls->IsDerivedFrom(expected))
        throw CArchiveException(CArchiveException::badClass);
    if (schema)
        *schema = classSchema;
    return cls;
}

CRuntimeClass *CArchive::ReadClass(const CRuntimeClass *expected, unsigned *schema)
{
    uint32_t objectTag = 0;
    CRuntimeClass *cls = ReadClassOrObjectTag(expected, schema, &objectTag);
    if (!cls)
        throw CArchiveException(CArchiveException::badIndex);
    return cls;
}

CObject *CArchive::ReadObject(const CRuntimeClass *expected)
{
    unsigned schema = 0;
    uint32_t objectTag = 0;
    CRuntimeClass *cls = ReadClassOrObjectTag(expected, &schema, &objectTag);
    if (!cls) {
        if (objectTag == 0)
            return nullptr;
        if (objectTag >= m_loadArray.size() || !m_loadArray[objectTag].object)
            throw CArchiveException(CArchiveException::badIndex);
        CObject *object = m_loadArray[objectTag].object;
        if (expected && !object->IsKindOf(expected))
            throw CArchiveException(CArchiveException::badClass);
        return object;
    }

    CObject *object = cls->CreateObject();
    if (!object)
        throw CArchiveException(CArchiveException::badClass);
    CheckMapCount();
    const size_t slot = m_loadArray.size();
    m_loadArray.push_back({object, nullptr, 0});
    ++m_nMapCount;
    const unsigned savedSchema = m_nObjectSchema;
    m_nObjectSchema = schema;
    try {
        object->Serialize(*this);
    } catch (...) {
        // The half-read object is ours to discard; nobody else has seen it.
        m_loadArray[slot].object = nullptr;
        delete object;
        throw;
    }
    m_nObjectSchema = savedSchema;
    return object;
}

CObject *CArchive::ReadOwned(const CRuntimeClass *expected)
{
    if (IsStoring())
        throw CArchiveException(CArchiveException::writeOnly);
    // Refuse a back reference before anything is read: the object it names
    // belongs to someone else already.
    const QByteArray tag = m_device->peek(6);
    if (tag.size() >= 2) {
        const auto word = uint16_t(uint8_t(tag[0]) | (uint8_t(tag[1]) << 8));
        const bool bigObjectRef = word == wBigObjectTag && tag.size() >= 6
            && (uint8_t(tag[5]) & 0x80) == 0;
        const bool objectRef = word != wNullTag && word != wNewClassTag
            && word != wBigObjectTag && (word & wClassTag) == 0;
        if (objectRef || bigObjectRef)
            throw CArchiveException(CArchiveException::badIndex);
    }
    const size_t firstSlot = m_loadArray.size();
    CObject *object = ReadObject(expected);
    for (size_t i = firstSlot; i < m_loadArray.size(); ++i)
        m_loadArray[i].object = nullptr;
    return object;
}

unsigned CArchive::GetObjectSchema()
{
    const unsigned schema = m_nObjectSchema;
    m_nObjectSchema = unsigned(-1);
    return schema;
}
