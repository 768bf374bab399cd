#pragma once

// The document of a 1D gel analysis: the gel picture and the overlay objects
// drawn on it (CDensoraDoc), at most one analysis controller, and the user's
// analysis options.
//
// The analysis shapes (analysis area, background area, example band, dye front,
// loading wells, user-drawn bands) live in the object list. Each kind is meant
// to exist once; when more than one is present (a template loaded over an
// analysis, for instance) the one added last is in force, so every getter
// searches from the end of the list.

#include "analysis1d/engine/Analysis1DOptions.h"
#include "appbase/CDensoraDoc.h"

#include <QList>

#include <memory>

class Analysis1D;
class Analysis1DView;
class AnalysisArea;
class BackgroundArea;
class DyeFront;
class ExampleBand;
class LoadingWells;
class QWidget;
class UserDrawnBand;

class Analysis1DDoc : public CDensoraDoc
{
    DECLARE_DYNCREATE(Analysis1DDoc)
public:
    Analysis1DDoc();
    ~Analysis1DDoc() override;

    // The analysis controller, null when there is no analysis; the document
    // owns it.
    Analysis1D *GetAnalysis() const { return m_pAnalysis.get(); }
    // Takes the analysis over; one attached before is destroyed first.
    void SetAnalysis(std::unique_ptr<Analysis1D> pAnalysis);
    // A new analysis bound to this document and its picture, made the
    // document's analysis (one attached before is destroyed). Returns it; the
    // document owns it.
    Analysis1D *CreateAnalysis();

    // "Start": after the user's consent to replace an analysis and, for a
    // picture that is not 8-bit or 16-bit grey, to convert it, removes the old
    // analysis, attaches a new one on the picture and opens its set-up wizard.
    void OnAnalysisStart(Analysis1DView *pView, int nMode);
    // Removes the analysis with its shapes (user-drawn bands, analysis area,
    // example band, dye front, loading wells) and repaints every view.
    void RemoveAnalysis();

    // Opens the options sheet on the document's options, modally over the
    // parent (defined with the dialogs, analysis1d/ui/); views repainted after.
    void ShowApplicationOptions(QWidget *pParent);

    Analysis1DOptions &GetAnalysisOptions() { return m_AnalysisOptions; }
    const Analysis1DOptions &GetAnalysisOptions() const { return m_AnalysisOptions; }

    // 1 while Save must ask for a name (a document opened from a file), 0 after a
    // successful save in the document format.
    int GetSaveAsRequired() const { return m_nSaveAsRequired; }
    void SetSaveAsRequired(int nRequired) { m_nSaveAsRequired = nRequired; }

    // The analysis shapes in force (the last of each kind), or null.
    AnalysisArea *GetAnalysisArea() const;
    BackgroundArea *GetBackgroundArea() const;
    DyeFront *GetDyeFront() const;
    LoadingWells *GetLoadingWells() const;
    ExampleBand *GetExampleBand() const;
    UserDrawnBand *GetLastUserDrawBand() const;
    // Every user-drawn band, in list order (not owned by the caller).
    QList<UserDrawnBand *> GetAllUserDrawBands() const;

    // Take the shape in force of that kind out of the document and destroy it;
    // nothing when there is none.
    void RemoveAnlaysisArea();
    void RemoveBackgroundArea();
    void RemoveExampleBand();
    void RemoveDyeFront();
    void RemoveLoadingWells();
    // Takes every user-drawn band out of the document and destroys it.
    void DeleteAllUserDrawnBands();

    // The topmost selectable object at the logical point, else null.
    CDrawObject *ObjectAt(const CPoint &point) override;

    // Files (Analysis1DDocFiles.cpp) --------------------------------------------------
    // The document's own format (type 410, documents and overlay templates by
    // signature) or, for any other type, the picture in that image format.
    void Serialize(CArchive &ar) override;
    void SerializeDensoraFileFormat(CArchive &ar);
    void SerializeImageFileFormats(CArchive &ar, int fileType);
    // Opens a document or a picture. A file that cannot be read (damaged, cut
    // short, of an unknown class or an unsupported version) is reported and
    // leaves the document that was open as it was: the old contents are set
    // aside while the file is read and put back on failure.
    bool OnOpenDocument(const QString &path) override;
    // The type comes from the path: ".dsr" writes the document; an image format
    // writes the picture of a document that holds nothing else.
    bool OnSaveDocument(const QString &path) override;
    // Empties the document, its analysis included.
    void DeleteContents() override;

    // Undo (Analysis1DDocUndo.cpp): every step also keeps the analysis as it
    // was (whether there is one, its lanes and bands with their known values,
    // tone, threshold and calibration), so lane, band and calibration edits
    // are undone with the shapes they belong to.
    std::unique_ptr<CUndoRedoManager::DocumentState> CaptureUndoState() const override;
    void RestoreUndoState(const CUndoRedoManager::DocumentState *state) override;

protected:
    std::unique_ptr<SetAside> SetContentsAside() override;
    void RestoreContents(std::unique_ptr<SetAside> aside) override;
    void DiscardContents(std::unique_ptr<SetAside> aside) override;

public:
    // Save: to the current path when that is a document file saved before,
    // else through Save As. Each returns true when a file was written.
    bool OnFileSave();
    bool OnFileSaveAs();
    // Overlay templates: every object but the picture, and the analysis tone.
    bool OnFileSaveOverlayAs();
    bool OnFileLoadOverlay();
    // Loading the template at 'path' once it is chosen (the batch tool names
    // it on its command line): false, after telling the user, when the file
    // cannot be read; the document is then unchanged.
    bool LoadOverlayTemplate(const QString &path);

    // Filters of the file dialogs in their stored form (":" or "|" separated
    // description/pattern pairs) and as handed to Prompts (Qt's ";;" form).
    static const QString kDocumentSaveFilter;
    static const QString kImageSaveFilter;
    static const QString kTemplateSaveFilter;
    static const QString kTemplateOpenFilter;
    static QString DialogFilter(const QString &storedFilter, QChar separator);

    // Gel pixels to analysis coordinates: subtracts the analysis area's top-left
    // corner (AnalysisOrigin; while no area is drawn, the corner of the rectangle
    // the analysis image was cut from, else none). Analysis2Logical adds it.
    CPoint AnalysisOrigin() const;
    void Logical2Analysis(CPoint &point) const;
    void Logical2Analysis(CRect &rect) const;
    void Analysis2Logical(CPoint &point) const;
    void Analysis2Logical(CRect &rect) const;

    // Where the user left the reference lines, in gel pixels: the dye-front
    // distance is the analysis area's bottom minus the dye front's centre row,
    // the well distance the wells' centre row minus the area's top. They are kept
    // as the general options' offsets, so the next analysis places its lines
    // where the user put them last.
    int GetDyeFrontDistance() const;
    void SetDyeFrontDistance(int nDistance);
    int GetWellDistance() const;
    void SetWellDistance(int nDistance);
    // Takes both distances from the current analysis area, dye front and loading
    // wells (centre row = (top + bottom) / 2, truncated). A distance whose line or
    // area is missing keeps its value.
    void StoreReferenceLineDistances();

private:
    struct AnalysisSetAside;
    template<typename T> T *FindLast() const;
    // Removes and destroys 'pObj' when it is non-null.
    void RemoveAndDestroy(CDrawObject *pObj);
    void DestroyAnalysis();
    // Reads the header, object list and analysis of a document file.
    void LoadDensoraFileFormat(CArchive &ar);
    // Loading an overlay template, one job each: reading the file (false after
    // telling the user, the document untouched), adding copies of its objects
    // but the picture (returned, owned by the document), asking whether its
    // analysis can be made here, making it.
    struct OverlayTemplate;
    bool ReadOverlayTemplate(const QString &path, OverlayTemplate *pOut);
    CDrawObjList AddTemplateObjects(const CDrawObjList &objects);
    void OfferTemplateAnalysis(const CDrawObjList &added, int objectsLighter);
    void CreateTemplateAnalysis(const CRect &area, const CRect &exampleBand, int objectsLighter);
    // Whether the rectangle (gel pixels, normalised first) lies wholly on the picture.
    bool LiesOnPicture(CRect rect) const;
    // Takes the analysis shapes among the objects out of the document and
    // destroys them.
    void RemoveAnalysisShapes(const CDrawObjList &objects);

    std::unique_ptr<Analysis1D> m_pAnalysis;
    Analysis1DOptions m_AnalysisOptions;
    int m_nSaveAsRequired = 0;
};
