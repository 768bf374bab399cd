#pragma once

// Chooses a line weight: "None" (0, no line) or 1 to 7 points, each shown as
// a line of that weight. Modal; the result is the chosen weight.

#include <QDialog>

class QListWidget;

class CLineWeightDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int c_nMaxWeight = 7;

    explicit CLineWeightDlg(QWidget *parent = nullptr, int current = 1);
    ~CLineWeightDlg() override;

    int GetWeight() const;
    void SetWeight(int weight);
    QListWidget *GetList() const { return m_pList; }

private:
    QListWidget *m_pList;
};

// The view's seam: the chosen weight 0 to 7, or -1 when the user cancelled.
int AskLineWeight(int current, QWidget *parent);
