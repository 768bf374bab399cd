#include "analysis1d/engine/ReportOptions.h"

#include <QString>
#include <iterator>
#include <string>

namespace {

struct ReportSetting
{
    const char *key;
    int ReportOptions::*field;
};

// The report's setting names are all padded with blanks to 25 characters, and
// existing user settings carry them that way: the blanks are part of the key.
// Store and Load visit the settings in this order.
constexpr ReportSetting kSettings[] = {
    {"m_Position               ", &ReportOptions::m_Position},
    {"m_PrecentageArea         ", &ReportOptions::m_PrecentageArea},
    {"m_Volume                 ", &ReportOptions::m_Volume},
    {"m_PrecentageConcentration", &ReportOptions::m_PrecentageConcentration},
    {"m_MW                     ", &ReportOptions::m_MW},
    {"m_LaneBand               ", &ReportOptions::m_LaneBand},
    {"m_Concentration          ", &ReportOptions::m_Concentration},
    {"m_Baseline               ", &ReportOptions::m_Baseline},
    {"m_Area                   ", &ReportOptions::m_Area},
    {"m_Amplitude              ", &ReportOptions::m_Amplitude},
    {"m_RelMigrationDist       ", &ReportOptions::m_RelMigrationDist},
    {"m_PeakWidth              ", &ReportOptions::m_PeakWidth},
    {"m_GaussianFitCorrelation ", &ReportOptions::m_GaussianFitCorrelation},
    {"m_SurfaceArea            ", &ReportOptions::m_SurfaceArea},
    {"m_VolumePerSurfaceArea   ", &ReportOptions::m_VolumePerSurfaceArea},
    // Added after the classic fifteen, padded like them; older settings files
    // lack it and so get the default.
    {"m_Saturated              ", &ReportOptions::m_Saturated},
};

constexpr bool allKeysPadded()
{
    for (const ReportSetting &s : kSettings) {
        if (std::char_traits<char>::length(s.key) != 25)
            return false;
    }
    return true;
}
static_assert(allKeysPadded(), "report setting names are exactly 25 characters");
static_assert(std::size(kSettings) == 16, "every report flag is stored");

} // namespace

ReportOptions::ReportOptions() : Options(QStringLiteral("Analysis1D.ReportOptions")) { }

void ReportOptions::Store(ProfileStore &store) const
{
    for (const ReportSetting &s : kSettings)
        StoreValue(store, QString::fromLatin1(s.key), this->*s.field);
}

void ReportOptions::Load(const ProfileStore &store)
{
    for (const ReportSetting &s : kSettings)
        LoadValue(store, QString::fromLatin1(s.key), this->*s.field);
}
