#pragma once

// The set-up wizard: tone, analysis area, example band, then the dye front
// and loading wells, one page each, while the user draws on the gel behind
// it. Each page drives its step of AnalysisSetup on the analysis's document;
// the drawing itself is done by the view's tools (AnalysisViewSeam). Cancel
// removes the whole analysis.

#include "analysis1d/ui/dialogs/Analysis1DDialog.h"

#include <QList>

class AnalysisWizardPage;
class QLabel;
class QPushButton;
class QStackedWidget;
class WhiteOnBlackDlg;

class AnalysisWizardDlg : public Analysis1DDialog
{
    Q_OBJECT
public:
    static constexpr int kTitleControl = 12028;
    static constexpr int kBackButton = 12027;

    AnalysisWizardDlg(QWidget *parent, Analysis1DView *view, int mode, Analysis1D *analysis);

    // 0 lighter, 1 darker objects, as the tone page last read it.
    int GetToneChoice() const;
    void EnableNext(bool enable);

    void OnNext();
    void OnBack();
    void reject() override;

    int GetCurrentPage() const { return m_current; }
    int GetPageCount() const { return int(m_pages.size()); }
    AnalysisWizardPage *Page(int index) const { return m_pages.value(index); }
    WhiteOnBlackDlg *TonePage() const;
    QPushButton *NextButton() const { return m_next; }
    QPushButton *BackButton() const { return m_back; }
    QLabel *TitleLabel() const { return m_title; }

private:
    // Leaves the current page (false when its controls do not read back) and
    // enters 'index'.
    bool goToPage(int index);
    void enterPage(int index);
    void finish();

    int m_mode;
    int m_current = -1;
    QList<AnalysisWizardPage *> m_pages;
    QStackedWidget *m_stack;
    QLabel *m_title;
    QPushButton *m_next;
    QPushButton *m_back;
};
