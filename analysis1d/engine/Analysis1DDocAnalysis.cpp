// Starting and removing the document's analysis. Kept apart from the rest of
// the document because it is the analysis controller's side of the document.

#include "analysis1d/engine/Analysis1DDoc.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "imaging/TVFImage.h"
#include "platform/Prompts.h"

// An 8-bit grey picture is analysed as it is: asking whether to convert it
// "to gray scale" would misinform the user, and declining would refuse a
// picture the analysis handles.
void Analysis1DDoc::OnAnalysisStart(Analysis1DView *pView, int nMode)
{
    if (GetAnalysis()
        && Prompts::instance().MessageBox(
               QStringLiteral("Starting a new analysis would clear the current analysis and its "
                              "associated data, continue?"),
               MB_YESNO)
            != IDYES)
        return;
    TVFImage *image = GetImage();
    if (!image || !image->isValid())
        return;
    if (!AnalysisSetup::IsAnalysableGrey(*image)) {
        if (Prompts::instance().MessageBox(
                QStringLiteral("The image you have opened is not a gray scale image, would you "
                               "like to convert it to gray scale for the analysis?"),
                MB_YESNO)
            != IDYES)
            return;
        if (!image->convertToGrayscale())
            return;
    }
    AnalysisSetup(*this).Begin()->StartSetupWizard(pView, nMode);
}

void Analysis1DDoc::RemoveAnalysis()
{
    DeleteAllUserDrawnBands();
    RemoveAnlaysisArea();
    RemoveExampleBand();
    RemoveDyeFront();
    RemoveLoadingWells();
    SetAnalysis(nullptr);
    UpdateAllViews(nullptr);
}
