#include "analysis1d/engine/GeneralOptions.h"

GeneralOptions::GeneralOptions() : Options(QStringLiteral("Analysis1D.GeneralOptions")) { }

void GeneralOptions::Store(ProfileStore &store) const
{
    StoreValue(store, QStringLiteral("m_DyeFrontOffsetFromBottom"), m_DyeFrontOffsetFromBottom);
    StoreValue(store, QStringLiteral("m_WellOffsetFromTop"), m_WellOffsetFromTop);
}

void GeneralOptions::Load(const ProfileStore &store)
{
    LoadValue(store, QStringLiteral("m_DyeFrontOffsetFromBottom"), m_DyeFrontOffsetFromBottom);
    LoadValue(store, QStringLiteral("m_WellOffsetFromTop"), m_WellOffsetFromTop);
}
