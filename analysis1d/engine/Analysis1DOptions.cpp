#include "analysis1d/engine/Analysis1DOptions.h"

#include "platform/ProfileStore.h"

IMPLEMENT_DYNAMIC(Analysis1DOptions, CObject)

// The settings store is looked up at each read and write rather than kept from
// construction: a store can be replaced (ProfileStore::install) while a document
// is open, and a kept reference would then dangle when the options are stored.

Analysis1DOptions::Analysis1DOptions()
{
    ReadFromRegistry();
}

Analysis1DOptions::~Analysis1DOptions()
{
    // A failing settings write must not take the program down while a document
    // closes; the preferences of this session are lost, nothing else.
    try {
        StoreToRegistry();
    } catch (...) { }
}

void Analysis1DOptions::Serialize(CArchive &)
{
    // Options are per user, not per document.
}

void Analysis1DOptions::ReadFromRegistry()
{
    ReadFromRegistry(ProfileStore::instance());
}

void Analysis1DOptions::StoreToRegistry() const
{
    StoreToRegistry(ProfileStore::instance());
}

void Analysis1DOptions::ReadFromRegistry(const ProfileStore &store)
{
    m_GeneralOptions.Load(store);
    m_GraphOptions.Load(store);
    m_ReportOptions.Load(store);
    m_BandsOptions.Load(store);
    m_LanesOptions.Load(store);
}

void Analysis1DOptions::StoreToRegistry(ProfileStore &store) const
{
    m_GeneralOptions.Store(store);
    m_GraphOptions.Store(store);
    m_ReportOptions.Store(store);
    m_BandsOptions.Store(store);
    m_LanesOptions.Store(store);
}
