#pragma once

// Common part of the pages of the options sheet: each flag is a check box that
// writes its option field the moment it is clicked and marks the page
// modified; the sheet stores the fields on Apply or OK.

#include <QString>
#include <QWidget>

class QCheckBox;
class QVBoxLayout;

class AnalysisOptionPage : public QWidget
{
    Q_OBJECT
public:
    explicit AnalysisOptionPage(QWidget *parent = nullptr);

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified);
    // Sets the controls from the option fields again (after the sheet has put
    // the fields back on Cancel, or for a page shown a second time).
    virtual void UpdateControls();

signals:
    void modified();

protected:
    // A check box bound to an option flag (0 or 1).
    QCheckBox *addFlag(const QString &label, int *field);
    QVBoxLayout *pageLayout() const { return m_layout; }

private:
    struct Flag
    {
        QCheckBox *box;
        int *field;
    };
    QVBoxLayout *m_layout;
    QList<Flag> m_flags;
    bool m_modified = false;
};
