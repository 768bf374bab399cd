#pragma once

// Chooses a ladder from the user's ladder library, and adds, modifies and
// deletes ladders. The library is read when the dialog is made and written
// after every change and when the dialog goes. A library file that cannot be
// read is never written over: the dialog then shows what it could read and
// changes nothing on disk.

#include "analysis1d/calibration/MWLadderLibrary.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

class MWLadderDialog : public QDialog
{
    Q_OBJECT
public:
    // The library at its usual place.
    explicit MWLadderDialog(QWidget *parent);
    // The library in the given file.
    MWLadderDialog(QWidget *parent, const QString &libraryPath);
    ~MWLadderDialog() override;

    // After OK: the index of the chosen ladder, or -1.
    int GetSelectedLadder() const { return m_selected; }
    // The chosen ladder (CInvalidArgException without a valid choice).
    const StorableMWStandard &GetLadder() const { return m_library.GetAt(m_selected); }
    MWLadderLibrary &GetLibrary() { return m_library; }

    void OnAdd();
    void OnModify();
    void OnDelete();
    // Adds a ladder as made elsewhere (a new ladder from known weights) by
    // opening the edit dialog on it; true when the user kept it.
    bool AddFromEditor(const StorableMWStandard &ladder, const QString &title);
    void accept() override;

    QComboBox *LadderList() const { return m_names; }
    QTreeWidget *MarkerList() const { return m_markers; }

    static const QString c_selectFirst; // "Please select a ladder first."

private:
    void build();
    void load();
    void save();
    void fillNames(int select);
    void showMarkers();

    MWLadderLibrary m_library;
    bool m_writable = true;
    int m_selected = -1;
    QComboBox *m_names = nullptr;
    QTreeWidget *m_markers = nullptr;
};
