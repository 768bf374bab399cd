#pragma once

// A settings store of its own for a test: an empty in-memory store installed
// for the lifetime of the object, the previous one put back afterwards.
//
// Declare it before the objects that read or write settings (a document's
// options are read at construction and written at destruction): members are
// made in order and destroyed in reverse, so they then never see, or write
// into, the store of another test.

#include "platform/ProfileStore.h"

#include <memory>

class ScopedMemoryProfileStore
{
public:
    ScopedMemoryProfileStore()
        : m_previous(ProfileStore::install(std::make_unique<MemoryProfileStore>()))
    { }
    ~ScopedMemoryProfileStore() { ProfileStore::install(std::move(m_previous)); }
    ScopedMemoryProfileStore(const ScopedMemoryProfileStore &) = delete;
    ScopedMemoryProfileStore &operator=(const ScopedMemoryProfileStore &) = delete;

private:
    std::unique_ptr<ProfileStore> m_previous;
};
