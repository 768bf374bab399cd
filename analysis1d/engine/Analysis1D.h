#pragma once

// The controller of one 1D gel analysis. It holds the lanes found on the gel
// (left to right, by value), the grey analysis image cut from the gel image
// over the analysis area, the calibration manager, and the dialogs and result
// windows of the analysis. The shapes the user draws (analysis area, example
// band, dye front, loading wells, user-drawn bands) live in the document's
// object list and are reached through the document.
//
// Coordinates: the document's objects are in gel pixels; the analysis image,
// lanes, bands and profile rows are in analysis coordinates, gel pixels minus
// the analysis area's top-left corner.
//
// The members that open windows and dialogs are defined in
// analysis1d/ui/Analysis1DUi.cpp; the engine builds and runs without them.

#include "analysis1d/engine/Lane.h"
#include "contracts/analysis/Analysis.h"
#include "platform/CArray.h"
#include "platform/Geometry.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <limits>
#include <memory>

class Analysis1DDoc;
class Analysis1DOptions;
class Analysis1DView;
class AnalysisArea;
class AnalysisWizardDlg;
class Band;
class CalibrationManager;
class DetectionDlg;
class GraphWnd1D;
class QTabWidget;
class RasterImageGS16;
class ReportWnd1D;

class Analysis1D : public Analysis
{
    DECLARE_SERIAL(Analysis1D)

public:
    // Layout version of the stored analysis written by this class.
    static constexpr int kCurrentVersion = 4;
    // Peak-height threshold before any detection or load: what the detection
    // dialog's default slider position (50) gives, so a lane added by hand on
    // a fresh analysis finds bands as a default detection would.
    static constexpr double kDefaultPeakHeightThreshold = 0.18;
    // Control and resource numbers of the dialogs and result windows.
    static constexpr int kSetupWizardResource = 12023;
    static constexpr int kDetectionDialogResource = 12146;
    static constexpr int kReportWindowId = 13501;
    static constexpr int kGraphWindowId = 13500;

    Analysis1D();
    ~Analysis1D() override;
    Analysis1D(const Analysis1D &) = delete;
    Analysis1D &operator=(const Analysis1D &) = delete;

    // Stored form, see the .cpp. Loading rebuilds the analysis image from the
    // document's gel image, so the document and the image must be set first.
    void Serialize(CArchive &ar) override;
    // Older analyses kept lanes and bands without their analysis-area
    // rectangle: gives every lane and band the document's area and recomputes
    // the lane boundaries.
    void bringUp2Version4();

    virtual QString GetTitle() const;

    // Accessors ------------------------------------------------------------------
    RasterImageGS16 *GetAnalysisRasterImage() const { return m_pAnalysisImage.get(); }
    // Made by CreateBGImage; nothing measures on them, they are kept for display
    // and export.
    RasterImageGS16 *GetBGImage() const { return m_pBGImage.get(); }
    RasterImageGS16 *GetBGSubtractedImage() const { return m_pBGSubtractedImage.get(); }
    CalibrationManager *GetCalibrationManager() const { return m_pCalibrationManager.get(); }
    // Replaces the calibration manager (a loaded one) and binds it to this analysis.
    void SetCalibrationManager(std::unique_ptr<CalibrationManager> manager);

    // Raises CInvalidArgException outside 0..count - 1.
    Lane &GetLane(int index) { return m_Lanes[index]; }
    const Lane &GetLane(int index) const { return m_Lanes[index]; }
    int GetNumberOfLanes() const { return m_Lanes.GetSize(); }
    CArray<Lane> *GetLanes() { return &m_Lanes; }
    const CArray<Lane> *GetLanes() const { return &m_Lanes; }
    // Removes all lanes.
    void ClearDetectionData();
    // Drops every lane and band from the views' selections and tools, before
    // the lane array changes (lanes and bands are held by value).
    void ForgetLanesInViews();

    void SetAnalysisDocument(Analysis1DDoc *pDoc) { m_pDocument = pDoc; }
    Analysis1DDoc *GetAnalysisDocument() const { return m_pDocument; }
    // The document's analysis area and options; null without a document.
    AnalysisArea *GetAnalysisArea() const;
    Analysis1DOptions *GetAnalysisOptions() const;

    int IsWizardRunning() const { return m_WizardRunning; }
    // 1: bands are lighter than the background; 0: darker (the analysis image
    // is then inverted, so bands are always bright in it).
    int GetWhiteOnBlack() const { return m_WhiteOnBlack; }
    void SetWhiteOnBlack(int whiteOnBlack) { m_WhiteOnBlack = whiteOnBlack; }
    // The threshold of the last detection, used again for lanes added by hand.
    double GetPeakHeightThreshold() const { return m_PeakHeightThreshold; }
    void SetPeakHeightThreshold(double threshold) { m_PeakHeightThreshold = threshold; }

    // Set-up wizard and detection dialog (AnalysisWindows; headless they do nothing)
    // Opens the set-up wizard on the view (replacing one still open).
    void StartSetupWizard(Analysis1DView *pView, int nMode);
    // Removes all lanes, repaints the document's views and opens the detection
    // dialog, whose "Detect" runs DetectLanesAndBands.
    void StartDetectionWizard(Analysis1DView *pView);
    // Called by both dialogs when they finish.
    void WizardEnded();
    // Takes the tone from the wizard's first page.
    void WhiteOnBlackSet();
    // The tone directly: 0 "Objects are lighter than background", 1 "Objects are
    // darker than background".
    void WhiteOnBlackSet(int choice);
    void AnalysisAreaDrawn();
    // The area is final: no longer editable, and the analysis image is cut from it.
    void FinalizeAnalysisArea();
    void ExampleBandDrawn();
    void FinalizeExampleBand();

    // Images -----------------------------------------------------------------------
    // Cuts the analysis image from the gel image over rect (gel pixels); with
    // objectsLighter 0 the copy is inverted first. Without a gel image, or for a
    // rectangle that does not meet it, there is no analysis image afterwards.
    virtual void CreateAnalysisImage(CRect rect, int objectsLighter);
    // The rectangle and tone the analysis image was last cut for (empty
    // before the first cut).
    const CRect &GetAnalysisImageRect() const { return m_analysisImageRect; }
    int GetAnalysisImageTone() const { return m_analysisImageTone; }
    // The analysis image itself, to be put back later with the rectangle and
    // tone it was cut for (undo keeps it beside the lanes measured on it).
    std::shared_ptr<RasterImageGS16> ShareAnalysisImage() const { return m_pAnalysisImage; }
    void RestoreAnalysisImage(std::shared_ptr<RasterImageGS16> image, const CRect &rect,
                              int objectsLighter);
    // Background of the analysis image by a moving minimum whose half-window is
    // 0.75 x the size of rect, and the background-subtracted image, smoothed.
    virtual void CreateBGImage(CRect rect);

    // Example-band derived sizes (0 without an example band) -------------------------
    // Expected lane width: the example band's width in gel pixels.
    int GetLaneWidth() const;
    // Width of the strip a profile is averaged over: a quarter of the lane width.
    int GetBeamWidth() const;

    // Reference rows in analysis coordinates: the loading wells' centre (0 without
    // wells) and the dye front's centre (last analysis-image row without one).
    int getWellCenterY() const;
    int getDyeFrontCenterY() const;

    // Detection ----------------------------------------------------------------------
    // Replaces all lanes by the lanes and bands found at the threshold (a
    // fraction of the largest pixel value).
    void DetectLanesAndBands(double threshold);
    // Progress of a detection, for a progress dialog: called with the lanes
    // measured so far and the lanes found (0 of 0 while the lanes are looked
    // for). Returning false cancels.
    using DetectionProgress = std::function<bool(int done, int total)>;
    // The same with progress; a cancelled detection leaves the lanes, the
    // threshold and the undo history as they were and returns false.
    bool DetectLanesAndBands(double threshold, const DetectionProgress &progress);
    // Builds the lane centred near column centerX with its profile, background,
    // Gaussian decomposition and measured bands. A lane added between two
    // others keeps to the gap [columnLeft, columnRight) between them: bands
    // whose centre of gravity lies outside it belong to the neighbours and are
    // left out, and the lane's rectangle stays inside it.
    Lane DetectBandsAndGetItsLane(int centerX, double threshold, int columnLeft = 0,
                                  int columnRight = std::numeric_limits<int>::max());

    // Lane array -----------------------------------------------------------------------
    // Inserts a copy of the lane at index (-1: appends) and returns the index used.
    // The lane is given this analysis's document first.
    int AddLaneToArray(Lane *pLane, int index);
    // Each lane may move between its neighbours, over the whole area height; then
    // each lane sets its bands' boundaries.
    void setLaneBoundries();
    // The first lane (left to right) containing the band's centre of gravity.
    Lane *getLaneFromBand(const Band *pBand);
    // Where a lane may be added at the gel point: its index, or -1 on a lane.
    int GetLaneIndexForAddition(const CPoint &point) const;

    // Editing through the tools; each ends with UpdateReportAndGraph -----------------
    void AddLaneViaTool(const CPoint &point, int index);
    void AddBandViaTool(const CPoint &point, int lane, int bandIndex);
    void DeleteLaneViaTool(int lane);
    void DeleteBandViaTool(int lane, int band);
    // Shows the selection in the report and the graph (AnalysisWindows).
    void OnLaneAndBandSelected(int lane, int band);

    // Measures every band of every lane, then both calibrations; marks the
    // document modified.
    void CalculateAnalysisData();

    // Bands of all lanes with at least one saturated pixel (Band::IsSaturated),
    // for the warning after detection and in the reports.
    int CountSaturatedBands() const;
    // Counts the saturated pixels of every band again on the analysis image
    // without measuring anything else (after loading, where the stored
    // measurements stand as they were saved).
    void CountSaturatedPixels();

    // Result windows (made in analysis1d/ui; refreshed through AnalysisWindows) ---------
    void CreateReportWnd(QTabWidget *pTabs);
    void CreateGraphWnd(QTabWidget *pTabs);
    void DestroyReportAndGraph();
    // CalculateAnalysisData, then the report and the graph are refreshed.
    void UpdateReportAndGraph();
    // Null once the output pane has deleted the window. Only code that knows
    // the window classes (analysis1d/ui/) can look through these.
    const QPointer<ReportWnd1D> &GetReportWnd() const { return m_pReportWnd; }
    const QPointer<GraphWnd1D> &GetGraphWnd() const { return m_pGraphWnd; }

    // The document's user-drawn bands, each measured along its own column.
    void GetUserDrawBands(CArray<Band> *pOut);
    int HasUserDrawnBands() const;

    // 1 when an intensity calibration curve is chosen.
    int isODStardardsLoaded() const;
    // Molecular-weight standards are assigned per lane; never reported as loaded.
    int isMWStandardsLoaded() const;

    // Adds the "1D Gel Analysis" category to the main frame's ribbon.
    static void AddMenu(QTabWidget *pRibbon);

private:
    // The windows look after the dialogs and windows the analysis holds.
    friend class Analysis1DWindows;

    void setModified();
    // Closes and deletes the wizard and the detection dialog (AnalysisWindows).
    void destroyDialogs();
    // Enables the wizard's "next" button (AnalysisWindows).
    void enableWizardNext();
    // Rebuilds the images after a load from the document's shapes.
    void rebuildAfterLoad(bool withBackground);
    void loadLanes(CArchive &ar, bool oldestForm);
    void checkLoadedLanes() const;

    // The windows and dialogs belong to their Qt parents (the output pane's tab
    // control, the view's window), which may delete them first; these only
    // watch them. The engine handles them without the classes' definitions.
    QPointer<ReportWnd1D> m_pReportWnd;
    QPointer<GraphWnd1D> m_pGraphWnd;
    int m_WizardRunning = 0;
    // Its pixels never change once cut (it is only replaced): an undo step
    // shares it with the lanes that were measured on it.
    std::shared_ptr<RasterImageGS16> m_pAnalysisImage;
    Analysis1DDoc *m_pDocument = nullptr; // not owned
    QPointer<AnalysisWizardDlg> m_pWizardDlg;
    QPointer<DetectionDlg> m_pDetectionDlg;
    CArray<Lane> m_Lanes; // left to right
    std::unique_ptr<CalibrationManager> m_pCalibrationManager;
    std::unique_ptr<RasterImageGS16> m_pBGImage;
    std::unique_ptr<RasterImageGS16> m_pBGSubtractedImage;
    double m_PeakHeightThreshold = kDefaultPeakHeightThreshold;
    int m_WhiteOnBlack = 1;
    CRect m_analysisImageRect;
    int m_analysisImageTone = -1;
};
