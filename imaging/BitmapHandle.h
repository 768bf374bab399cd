#pragma once

// A FreeImage bitmap that is either owned (unloaded with the handle) or only
// borrowed from whoever owns it. The display is built from the picture's own
// bitmap when nothing has to change for display, and from a new bitmap
// otherwise; the handle says which, so the one that was made is the one that
// is freed.

#include <FreeImage.h>

#include <utility>

class BitmapHandle
{
public:
    BitmapHandle() = default;
    static BitmapHandle owning(FIBITMAP *dib) { return BitmapHandle(dib, true); }
    static BitmapHandle borrowing(FIBITMAP *dib) { return BitmapHandle(dib, false); }

    BitmapHandle(BitmapHandle &&other) noexcept
        : m_dib(std::exchange(other.m_dib, nullptr)), m_owned(std::exchange(other.m_owned, false))
    { }
    BitmapHandle &operator=(BitmapHandle &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_dib = std::exchange(other.m_dib, nullptr);
            m_owned = std::exchange(other.m_owned, false);
        }
        return *this;
    }
    BitmapHandle(const BitmapHandle &) = delete;
    BitmapHandle &operator=(const BitmapHandle &) = delete;
    ~BitmapHandle() { reset(); }

    FIBITMAP *get() const { return m_dib; }
    bool isOwner() const { return m_owned; }
    explicit operator bool() const { return m_dib != nullptr; }

    void reset()
    {
        if (m_owned && m_dib)
            FreeImage_Unload(m_dib);
        m_dib = nullptr;
        m_owned = false;
    }

private:
    BitmapHandle(FIBITMAP *dib, bool owned) : m_dib(dib), m_owned(owned && dib) { }

    FIBITMAP *m_dib = nullptr;
    bool m_owned = false;
};
