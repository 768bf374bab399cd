#pragma once

// Base of an analysis of a gel image (the 1D analysis derives from it). It keeps
// the analysis version that travels with the stored analysis and the gel image
// the analysis image is cut from.

#include "platform/CObject.h"

#include <optional>

class CArchive;
class TVFImage;

class Analysis : public CObject
{
    DECLARE_DYNAMIC(Analysis)
public:
    Analysis();
    ~Analysis() override;
    Analysis(const Analysis &) = delete;
    Analysis &operator=(const Analysis &) = delete;

    // The base part of a stored analysis; derived classes call it first and then
    // read their own part according to the version it brought.
    void Serialize(CArchive &ar) override;
    // The analysis version of the stored analysis that starts at the archive's
    // position, looked at without reading it (so a reader can refuse a version
    // it cannot read before anything is misaligned); nullopt when the base part
    // is cut short. The layout word is not looked at: Serialize refuses another.
    static std::optional<int> PeekStoredVersion(CArchive &ar);

    // Records the gel image (not owned) the analysis image is later cut from.
    virtual void SetAnalysisImage(TVFImage *pImage);
    TVFImage *GetAnalysisImage() const { return m_pImage; }

    int GetVersion() const { return m_nVersion; }
    void SetVersion(int nVersion) { m_nVersion = nVersion; }

protected:
    // Layout version of the stored analysis; the derived constructor sets the
    // version it writes, reading replaces it with the stored one.
    int m_nVersion = 0;
    TVFImage *m_pImage = nullptr; // not owned
};
