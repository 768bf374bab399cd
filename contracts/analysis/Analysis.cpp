#include "contracts/analysis/Analysis.h"

#include "platform/CArchive.h"

IMPLEMENT_DYNAMIC(Analysis, CObject)

namespace {
constexpr uint16_t kAnalysisLayout = 1;
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

void Analysis::SetAnalysisImage(TVFImage *pImage)
{
    m_pImage = pImage;
}
