#include "platform/CObject.h"

#include "platform/CArchive.h"

#include <cstring>
#include <map>
#include <string>

namespace {
// Function-local so registration from any library's static initialisers is safe.
std::map<std::string, CRuntimeClass *> &classRegistry()
{
    static std::map<std::string, CRuntimeClass *> registry;
    return registry;
}
} // namespace

CRuntimeClass CObject::classCObject("CObject", int(sizeof(CObject)), 0xFFFFu, nullptr, nullptr);

CRuntimeClass::CRuntimeClass(const char *name, int size, unsigned schema, CObject *(*create)(),
                             CRuntimeClass *(*base)())
    : m_lpszClassName(name), m_nObjectSize(size), m_wSchema(schema), m_pfnCreateObject(create),
      m_pfnGetBaseClass(base)
{
    classRegistry()[name] = this;
}

CObject *CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass *base) const
{
    for (const CRuntimeClass *c = this; c; c = c->BaseClass()) {
        if (c == base)
            return true;
    }
    return false;
}

CRuntimeClass *CRuntimeClass::FromName(const char *className)
{
    auto &registry = classRegistry();
    auto it = registry.find(className);
    return it == registry.end() ? nullptr : it->second;
}

void CRuntimeClass::Store(CArchive &ar) const
{
    const auto len = uint16_t(std::strlen(m_lpszClassName));
    ar << uint16_t(StoredSchema()) << len;
    ar.Write(m_lpszClassName, len);
}

CRuntimeClass *CRuntimeClass::Load(CArchive &ar, unsigned *schema)
{
    uint16_t storedSchema = 0;
    uint16_t len = 0;
    ar >> storedSchema >> len;
    // Class names are short identifiers; anything longer is not ours.
    if (len == 0 || len > 64)
        throw CArchiveException(CArchiveException::badClass);
    char name[65] = {};
    ar.Read(name, len);
    *schema = storedSchema;
    return FromName(name);
}

void CObject::Serialize(CArchive &) { }

bool CObject::IsKindOf(const CRuntimeClass *cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

bool CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFFu;
}
