#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/ui/dialogs/AnalysisAreaDlg.h"
#include "analysis1d/ui/dialogs/DrawExampleBandDlg.h"
#include "analysis1d/ui/dialogs/DyeFrontDlg.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "platform/Prompts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const QString kNext = QStringLiteral("&Next >>");
const QString kDone = QStringLiteral("&Done");
enum Page { kTonePage = 0, kAreaPage = 1, kExampleBandPage = 2, kReferenceLinesPage = 3 };
} // namespace

AnalysisWizardDlg::AnalysisWizardDlg(QWidget *parent, Analysis1DView *view, int mode,
                                     Analysis1D *analysis)
    : Analysis1DDialog(parent, view, analysis), m_mode(mode), m_stack(new QStackedWidget),
      m_title(new QLabel), m_next(new QPushButton(kNext)),
      m_back(new QPushButton(QStringLiteral("<< &Back")))
{
    setWindowTitle(QStringLiteral("1D Gel Analysis"));
    // It stays over the gel while the user draws, without being in the way.
    setWindowFlag(Qt::Tool);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 2);
    m_title->setFont(titleFont);

    m_pages = {new WhiteOnBlackDlg, new AnalysisAreaDlg, new DrawExampleBandDlg, new DyeFrontDlg};
    for (AnalysisWizardPage *page : std::as_const(m_pages))
        m_stack->addWidget(page);
    // The placeholder the pages are shown in.
    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_stack);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    m_next->setDefault(true);
    connect(m_next, &QPushButton::clicked, this, &AnalysisWizardDlg::OnNext);
    connect(m_back, &QPushButton::clicked, this, &AnalysisWizardDlg::OnBack);
    connect(cancel, &QPushButton::clicked, this, &AnalysisWizardDlg::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    if (m_pages.size() < 2)
        m_next->setText(kDone);
    m_back->setEnabled(false);
    enterPage(kTonePage);
}

WhiteOnBlackDlg *AnalysisWizardDlg::TonePage() const
{
    return static_cast<WhiteOnBlackDlg *>(m_pages.value(kTonePage));
}

int AnalysisWizardDlg::GetToneChoice() const
{
    return TonePage()->GetChoice();
}

void AnalysisWizardDlg::EnableNext(bool enable)
{
    m_next->setEnabled(enable);
}

// Every page undoes what it and the pages after it placed, so going back and
// forward again draws each shape anew.
void AnalysisWizardDlg::enterPage(int index)
{
    repaintView();
    m_current = index;
    m_stack->setCurrentIndex(index);
    m_title->setText(m_pages[index]->Title());
    if (!m_analysis)
        return;
    Analysis1DDoc *doc = m_analysis->GetAnalysisDocument();
    AnalysisViewSeam *seam = viewSeam();
    if (!doc)
        return;
    AnalysisSetup setup(*doc);
    switch (index) {
    case kTonePage:
        doc->RemoveAnlaysisArea();
        doc->RemoveDyeFront();
        doc->RemoveExampleBand();
        EnableNext(true);
        if (seam)
            seam->StartTool(AnalysisViewSeam::kSelectTool);
        break;
    case kAreaPage:
        doc->RemoveAnlaysisArea();
        setup.SetTone(GetToneChoice());
        EnableNext(false);
        if (seam)
            seam->StartTool(AnalysisViewSeam::kAnalysisAreaTool);
        break;
    case kExampleBandPage:
        doc->RemoveExampleBand();
        EnableNext(false);
        if (seam)
            seam->StartTool(AnalysisViewSeam::kExampleBandTool);
        break;
    case kReferenceLinesPage:
        EnableNext(true);
        setup.PlaceReferenceLinesAtDefaults();
        if (seam)
            seam->StartTool(AnalysisViewSeam::kSelectTool);
        break;
    default:
        break;
    }
    doc->UpdateAllViews(nullptr);
}

bool AnalysisWizardDlg::goToPage(int index)
{
    if (!m_pages[m_current]->ReadBack())
        return false;
    // The analysis image is cut from the area when the user leaves its page
    // forwards; an area off the picture gives none, and the user draws again.
    if (m_current == kAreaPage && index == kExampleBandPage && m_analysis
        && m_analysis->GetAnalysisDocument()) {
        AnalysisSetup setup(*m_analysis->GetAnalysisDocument());
        if (!m_analysis->GetAnalysisArea() || !setup.FinishAnalysisArea()) {
            Prompts::instance().MessageBox(
                QStringLiteral("Please draw the analysis area on the image."),
                MB_OK | MB_ICONINFORMATION);
            return false;
        }
    }
    enterPage(index);
    return true;
}

void AnalysisWizardDlg::OnNext()
{
    if (m_current < GetPageCount() - 1) {
        if (!goToPage(m_current + 1))
            return;
        if (m_current == GetPageCount() - 1)
            m_next->setText(kDone);
        m_back->setEnabled(true);
        return;
    }
    finish();
}

void AnalysisWizardDlg::OnBack()
{
    if (m_current <= 0)
        return;
    const bool leavingLast = m_current == GetPageCount() - 1;
    if (!goToPage(m_current - 1))
        return;
    if (leavingLast)
        m_next->setText(kNext);
    m_back->setEnabled(m_current > 0);
}

void AnalysisWizardDlg::finish()
{
    for (AnalysisWizardPage *page : std::as_const(m_pages)) {
        if (!page->ReadBack())
            return;
    }
    hide();
    repaintView();
    if (m_analysis && m_analysis->GetAnalysisDocument()) {
        AnalysisSetup setup(*m_analysis->GetAnalysisDocument());
        setup.FinishExampleBand();
        setup.Finish();
    }
    deleteLater();
}

void AnalysisWizardDlg::reject()
{
    hide();
    if (AnalysisViewSeam *seam = viewSeam())
        seam->StartTool(AnalysisViewSeam::kSelectTool);
    Analysis1D *analysis = m_analysis;
    m_analysis = nullptr;
    // Removing the analysis destroys it, and it lets go of this dialog.
    if (analysis && analysis->GetAnalysisDocument())
        analysis->GetAnalysisDocument()->RemoveAnalysis();
    deleteLater();
}
