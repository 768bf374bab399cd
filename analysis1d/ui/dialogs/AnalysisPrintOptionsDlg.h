#pragma once

// "Analysis Print Options": which parts of an analysis a print command
// prints, the gel picture, the report table and the lane graph. Every box
// starts unchecked; the report and graph boxes are disabled while their
// windows do not exist.

#include <QDialog>

class QCheckBox;

class AnalysisPrintOptionsDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogResource = 12103;
    static constexpr int kPrintImage = 12100;
    static constexpr int kPrintReport = 12101;
    static constexpr int kPrintGraph = 12102;

    AnalysisPrintOptionsDlg(QWidget *parent, bool reportAvailable, bool graphAvailable);

    bool PrintImage() const;
    bool PrintReport() const;
    bool PrintGraph() const;

    QCheckBox *ImageBox() const { return m_image; }
    QCheckBox *ReportBox() const { return m_report; }
    QCheckBox *GraphBox() const { return m_graph; }

private:
    void updateOk();

    QCheckBox *m_image;
    QCheckBox *m_report;
    QCheckBox *m_graph;
    class QPushButton *m_ok = nullptr;
};
