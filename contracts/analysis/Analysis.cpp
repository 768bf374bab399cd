#include "contracts/analysis/Analysis.h"

#include "platform/CArchive.h"

#include <QIODevice>

#include <cstring>

IMPLEMENT_DYNAMIC(Analysis, CObject)

namespace {
constexpr uint16_t kAnalysisLayout = 1;
// The base part's bytes: the layout WORD, then the int32 analysis version.
constexpr qint64 kVersionOffset = sizeof(uint16_t);
constexpr qint64 kBasePartSize = kVersionOffset + sizeof(int32_t);
} // namespace

Analysis::Analysis() = default;

Analysis::~Analysis() = default;

// Stored base part of an analysis (written in place, before the derived part):
//   WORD   layout version of this part, 1
//   int32  analysis version (the derived part's layout, e.g. 4)
// Another layout version is refused (badSchema); the analysis version is handed
// to the derived class as read, which decides what it can read.
void Analysis::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar << kAnalysisLayout << int32_t(m_nVersion);
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kAnalysisLayout)
        throw CArchiveException(CArchiveException::badSchema);
    int32_t version = 0;
    ar >> version;
    m_nVersion = version;
}

std::optional<int> Analysis::PeekStoredVersion(CArchive &ar)
{
    const QByteArray base = ar.GetFile()->peek(kBasePartSize);
    if (base.size() != kBasePartSize)
        return std::nullopt;
    int32_t version = 0;
    std::memcpy(&version, base.constData() + kVersionOffset, sizeof version);
    return version;
}

void Analysis::SetAnalysisImage(TVFImage *pImage)
{
    m_pImage = pImage;
}
