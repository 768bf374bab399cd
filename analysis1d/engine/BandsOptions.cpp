#include "analysis1d/engine/BandsOptions.h"

BandsOptions::BandsOptions() : Options(QStringLiteral("Analysis1D.BandsOptions")) { }

void BandsOptions::Store(ProfileStore &store) const
{
    StoreValue(store, QStringLiteral("m_Show_Bracket"), m_Show_Bracket);
    StoreValue(store, QStringLiteral("m_Show_Boundary_Contour"), m_Show_Boundary_Contour);
    StoreValue(store, QStringLiteral("m_Show_Number"), m_Show_Number);
    StoreValue(store, QStringLiteral("m_BoundryPercentage"), m_BoundryPercentage);
}

void BandsOptions::Load(const ProfileStore &store)
{
    LoadValue(store, QStringLiteral("m_Show_Bracket"), m_Show_Bracket);
    LoadValue(store, QStringLiteral("m_Show_Boundary_Contour"), m_Show_Boundary_Contour);
    LoadValue(store, QStringLiteral("m_Show_Number"), m_Show_Number);
    LoadValue(store, QStringLiteral("m_BoundryPercentage"), m_BoundryPercentage);
}
