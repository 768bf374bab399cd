#pragma once

// Run-time class information, dynamic creation by class name and versioned
// serialisation. Every library registers its classes during static
// initialisation, so a document archive can recreate objects of any library.

#include <cstdint>

class CArchive;
class CObject;

// Marks a schema whose older stored forms the class reads itself (GetObjectSchema).
constexpr unsigned VERSIONABLE_SCHEMA = 0x80000000u;

struct CRuntimeClass
{
    const char *m_lpszClassName;
    int m_nObjectSize;
    unsigned m_wSchema; // schema, possibly with VERSIONABLE_SCHEMA; 0xFFFF = not serialisable
    CObject *(*m_pfnCreateObject)();
    CRuntimeClass *(*m_pfnGetBaseClass)();

    CRuntimeClass(const char *name, int size, unsigned schema, CObject *(*create)(),
                  CRuntimeClass *(*base)());
    CRuntimeClass(const CRuntimeClass &) = delete;
    CRuntimeClass &operator=(const CRuntimeClass &) = delete;

    CObject *CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass *base) const;
    CRuntimeClass *BaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }
    unsigned StoredSchema() const { return m_wSchema & ~VERSIONABLE_SCHEMA; }
    bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0; }

    // Writes schema word, name length word and the ASCII name.
    void Store(CArchive &ar) const;
    // Reads what Store wrote; returns null for a class name nobody registered.
    static CRuntimeClass *Load(CArchive &ar, unsigned *schema);

    static CRuntimeClass *FromName(const char *className);
};

class CObject
{
public:
    virtual ~CObject() = default;

    static CRuntimeClass classCObject;
    static CRuntimeClass *GetThisClass() { return &classCObject; }
    virtual CRuntimeClass *GetRuntimeClass() const { return &classCObject; }
    virtual void Serialize(CArchive &ar);
    virtual void AssertValid() const { }

    bool IsKindOf(const CRuntimeClass *cls) const;
    bool IsSerializable() const;

protected:
    CObject() = default;
    CObject(const CObject &) = default;
    CObject &operator=(const CObject &) = default;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                              \
public:                                                                                          \
    static CRuntimeClass class##class_name;                                                      \
    static CRuntimeClass *GetThisClass() { return &class##class_name; }                          \
    CRuntimeClass *GetRuntimeClass() const override { return &class##class_name; }

#define DECLARE_DYNCREATE(class_name)                                                            \
    DECLARE_DYNAMIC(class_name)                                                                  \
    static CObject *CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)                      \
    CRuntimeClass class_name::class##class_name(#class_name, int(sizeof(class_name)), schema,     \
                                                create, &base_class_name::GetThisClass);

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                           \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFFu, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                         \
    CObject *class_name::CreateObject() { return new class_name; }                               \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFFu, &class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                    \
    CObject *class_name::CreateObject() { return new class_name; }                               \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, &class_name::CreateObject)
