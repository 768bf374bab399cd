#include "analysis1d/engine/LanesOptions.h"

LanesOptions::LanesOptions() : Options(QStringLiteral("Analysis1D.LanesOptions")) { }

void LanesOptions::Store(ProfileStore &store) const
{
    StoreValue(store, QStringLiteral("m_Show_Number"), m_Show_Number);
    StoreValue(store, QStringLiteral("m_Show"), m_Show);
}

void LanesOptions::Load(const ProfileStore &store)
{
    LoadValue(store, QStringLiteral("m_Show_Number"), m_Show_Number);
    LoadValue(store, QStringLiteral("m_Show"), m_Show);
}
