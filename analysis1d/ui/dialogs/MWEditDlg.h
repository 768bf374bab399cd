#pragma once

// Edits one molecular-weight ladder: its name, material and units and its
// marker weights, kept in descending order. OK needs at least three markers.

#include "analysis1d/calibration/StorableMWStandard.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class MWEditDlg : public QDialog
{
    Q_OBJECT
public:
    // Edits a copy of 'ladder'; the title tells adding from modifying.
    MWEditDlg(QWidget *parent, const StorableMWStandard &ladder, const QString &title);

    const StorableMWStandard &GetLadder() const { return m_ladder; }

    // The entry field's weight is appended, or replaces the weight being
    // edited; a value not above 0 is refused.
    void OnAddValue();
    void OnRemoveValue();
    // Puts the selected weight into the entry field; the next Add replaces it.
    void OnEditValue();
    void accept() override;

    QLineEdit *NameField() const { return m_name; }
    QLineEdit *MaterialField() const { return m_material; }
    QLineEdit *UnitsField() const { return m_units; }
    QLineEdit *ValueField() const { return m_value; }
    QTreeWidget *MarkerList() const { return m_list; }

    static const QString c_presetValue; // "00.00"

private:
    void fillList();
    void resetValueField();

    StorableMWStandard m_ladder;
    int m_editedIndex = -1;
    QLineEdit *m_name;
    QLineEdit *m_material;
    QLineEdit *m_units;
    QLineEdit *m_value;
    QTreeWidget *m_list;
};
