#pragma once

// Growable array with checked indices (0-based); every access out of range
// raises CInvalidArgException. Serialize writes the classic CArray form:
// the count in the archive's count encoding, then the elements' raw bytes.

#include "platform/CArchive.h"
#include "platform/CObject.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <limits>
#include <type_traits>
#include <vector>

template<typename T>
class CArray : public CObject
{
public:
    CArray() = default;
    CArray(const CArray &other) = default;
    CArray &operator=(const CArray &other)
    {
        if (this != &other)
            m_data = other.m_data;
        return *this;
    }
    CArray(CArray &&) noexcept = default;
    CArray &operator=(CArray &&) noexcept = default;
    ~CArray() override = default;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }

    // Growing value-initialises the new elements.
    void SetSize(int newSize, int /*growBy*/ = -1)
    {
        if (newSize < 0)
            throw CInvalidArgException("CArray::SetSize: negative size");
        m_data.resize(size_t(newSize));
    }
    void RemoveAll() { m_data.clear(); }
    void FreeExtra() { m_data.shrink_to_fit(); }

    const T &GetAt(int i) const { return m_data[check(i)]; }
    T &GetAt(int i) { return m_data[check(i)]; }
    void SetAt(int i, const T &value) { m_data[check(i)] = value; }
    T &ElementAt(int i) { return m_data[check(i)]; }
    const T &ElementAt(int i) const { return m_data[check(i)]; }
    T &operator[](int i) { return m_data[check(i)]; }
    const T &operator[](int i) const { return m_data[check(i)]; }

    T *GetData() { return m_data.data(); }
    const T *GetData() const { return m_data.data(); }

    void SetAtGrow(int i, const T &value)
    {
        if (i < 0)
            throw CInvalidArgException("CArray::SetAtGrow: negative index");
        if (i >= GetSize())
            SetSize(i + 1);
        m_data[size_t(i)] = value;
    }
    int Add(const T &value)
    {
        m_data.push_back(value);
        return GetSize() - 1;
    }
    int Append(const CArray &src)
    {
        const int old = GetSize();
        if (&src == this) {
            const std::vector<T> copy = src.m_data;
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return old;
    }
    void Copy(const CArray &src)
    {
        if (&src != this)
            m_data = src.m_data;
    }
    // Inserting at or past the end grows the array, as the classic container does.
    void InsertAt(int i, const T &value, int count = 1)
    {
        if (i < 0 || count < 0)
            throw CInvalidArgException("CArray::InsertAt: bad index");
        if (i >= GetSize()) {
            SetSize(i + count);
            std::fill(m_data.begin() + i, m_data.end(), value);
        } else {
            // Rebuilt rather than vector::insert(pos, n, v), which GCC 12 flags
            // with a false -Warray-bounds when inlined.
            const T copy = value; // value may refer to an element of this array
            std::vector<T> tail(m_data.begin() + i, m_data.end());
            m_data.resize(size_t(i));
            m_data.resize(size_t(i + count), copy);
            for (const T &t : tail)
                m_data.push_back(t);
        }
    }
    void RemoveAt(int i, int count = 1)
    {
        if (i < 0 || count < 0 || i + count > GetSize())
            throw CInvalidArgException("CArray::RemoveAt: bad index");
        m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
    }

    void Serialize(CArchive &ar) override
    {
        if constexpr (!std::is_trivially_copyable_v<T>) {
            // The raw form is defined for plain values only; nothing stores the others.
            throw CArchiveException(CArchiveException::genericException);
        } else if (ar.IsStoring()) {
            ar.WriteCount(uint32_t(GetSize()));
            ar.Write(m_data.data(), qint64(m_data.size() * sizeof(T)));
        } else {
            const uint32_t n = ar.ReadCount();
            if (n > uint32_t(std::numeric_limits<int>::max()))
                throw CArchiveException(CArchiveException::badIndex);
            std::vector<T> loaded;
            ar.ReadValues(loaded, n);
            m_data = std::move(loaded);
        }
    }

    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

    std::vector<T> &vector() { return m_data; }
    const std::vector<T> &vector() const { return m_data; }

protected:
    size_t check(int i) const
    {
        if (i < 0 || i >= GetSize())
            throw CInvalidArgException("array index out of range");
        return size_t(i);
    }

    std::vector<T> m_data;
};
