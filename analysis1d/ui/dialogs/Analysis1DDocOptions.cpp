// The document's options sheet; a window, so it is defined with the dialogs.

#include "analysis1d/engine/Analysis1DDoc.h"

#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"

void Analysis1DDoc::ShowApplicationOptions(QWidget *pParent)
{
    ApplicationOptionsPS sheet(pParent, &m_AnalysisOptions, this);
    sheet.exec();
    UpdateAllViews(nullptr);
}
