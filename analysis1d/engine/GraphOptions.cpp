#include "analysis1d/engine/GraphOptions.h"

GraphOptions::GraphOptions() : Options(QStringLiteral("Analysis1D.GraphOptions")) { }

void GraphOptions::Store(ProfileStore &store) const
{
    StoreValue(store, QStringLiteral("m_ShowBackground"), m_ShowBackground);
    StoreValue(store, QStringLiteral("m_ShowGaussians"), m_ShowGaussians);
    StoreValue(store, QStringLiteral("m_ShowPeakNumbers"), m_ShowPeakNumbers);
    StoreValue(store, QStringLiteral("m_ShowWidth"), m_ShowWidth);
    StoreValue(store, QStringLiteral("m_ShowBaselines"), m_ShowBaselines);
    StoreValue(store, QStringLiteral("m_drawLane3D"), m_drawLane3D);
    StoreValue(store, QStringLiteral("m_autoScale"), m_autoScale);
}

void GraphOptions::Load(const ProfileStore &store)
{
    LoadValue(store, QStringLiteral("m_ShowBackground"), m_ShowBackground);
    LoadValue(store, QStringLiteral("m_ShowGaussians"), m_ShowGaussians);
    LoadValue(store, QStringLiteral("m_ShowPeakNumbers"), m_ShowPeakNumbers);
    LoadValue(store, QStringLiteral("m_ShowWidth"), m_ShowWidth);
    LoadValue(store, QStringLiteral("m_ShowBaselines"), m_ShowBaselines);
    LoadValue(store, QStringLiteral("m_drawLane3D"), m_drawLane3D);
    LoadValue(store, QStringLiteral("m_autoScale"), m_autoScale);
}
