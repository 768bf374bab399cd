#include "analysis1d/ui/dialogs/MWLadderDialog.h"

#include "analysis1d/ui/dialogs/MWEditDlg.h"
#include "analysis1d/ui/dialogs/MarkerListFill.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

const QString MWLadderDialog::c_selectFirst = QStringLiteral("Please select a ladder first.");

MWLadderDialog::MWLadderDialog(QWidget *parent) : QDialog(parent)
{
    build();
    load();
}

MWLadderDialog::MWLadderDialog(QWidget *parent, const QString &libraryPath)
    : QDialog(parent), m_library(libraryPath)
{
    build();
    load();
}

MWLadderDialog::~MWLadderDialog()
{
    // A failed write at closing must not take the program down; the user was
    // told at the change that failed.
    try {
        if (m_writable)
            m_library.Save();
    } catch (const CException &) { }
}

void MWLadderDialog::build()
{
    setWindowTitle(tr("Molecular Weight Ladders"));
    m_names = new QComboBox;
    m_markers = new QTreeWidget;
    m_markers->setHeaderLabels({tr("Marker"), tr("Molecular Weight")});
    m_markers->setRootIsDecorated(false);
    auto *add = new QPushButton(tr("Add"));
    auto *modify = new QPushButton(tr("Modify"));
    auto *remove = new QPushButton(tr("Delete"));
    connect(add, &QPushButton::clicked, this, &MWLadderDialog::OnAdd);
    connect(modify, &QPushButton::clicked, this, &MWLadderDialog::OnModify);
    connect(remove, &QPushButton::clicked, this, &MWLadderDialog::OnDelete);
    connect(m_names, &QComboBox::currentIndexChanged, this, &MWLadderDialog::showMarkers);
    auto *row = new QHBoxLayout;
    row->addWidget(m_names, 1);
    row->addWidget(add);
    row->addWidget(modify);
    row->addWidget(remove);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &MWLadderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MWLadderDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_markers);
    layout->addWidget(buttons);
}

void MWLadderDialog::load()
{
    // No file yet: an empty library, made at the first save.
    if (!QFileInfo::exists(m_library.GetPath())) {
        fillNames(-1);
        return;
    }
    try {
        m_library.Load();
    } catch (const CException &) {
        m_writable = false;
        Prompts::instance().MessageBox(
            QStringLiteral("The ladder library %1 could not be read. It is left as it is; "
                           "ladders cannot be added or changed until it is repaired or removed.")
                .arg(m_library.GetPath()),
            MB_OK | MB_ICONWARNING);
    }
    fillNames(m_library.GetCount() > 0 ? 0 : -1);
}

void MWLadderDialog::save()
{
    if (!m_writable)
        return;
    try {
        m_library.Save();
    } catch (const CException &) {
        Prompts::instance().MessageBox(
            QStringLiteral("The ladder library %1 could not be written.").arg(m_library.GetPath()),
            MB_OK | MB_ICONERROR);
    }
}

void MWLadderDialog::fillNames(int select)
{
    const QSignalBlocker block(m_names);
    m_names->clear();
    for (int i = 0; i < m_library.GetCount(); ++i)
        m_names->addItem(m_library.GetAt(i).m_name);
    m_names->setCurrentIndex(select < m_library.GetCount() ? select : -1);
    showMarkers();
}

void MWLadderDialog::showMarkers()
{
    const int index = m_names->currentIndex();
    if (index < 0 || index >= m_library.GetCount()) {
        m_markers->clear();
        return;
    }
    MarkerListFill::Fill(m_markers, m_library.GetAt(index).m_values);
}

bool MWLadderDialog::AddFromEditor(const StorableMWStandard &ladder, const QString &title)
{
    if (!m_writable) {
        load();
        if (!m_writable)
            return false;
    }
    MWEditDlg editor(this, ladder, title);
    if (editor.exec() != QDialog::Accepted)
        return false;
    m_library.Add(editor.GetLadder());
    save();
    fillNames(m_library.GetCount() - 1);
    return true;
}

void MWLadderDialog::OnAdd()
{
    AddFromEditor(StorableMWStandard(), tr("Add Molecular Weight Ladder"));
}

void MWLadderDialog::OnModify()
{
    const int index = m_names->currentIndex();
    if (index < 0 || index >= m_library.GetCount()) {
        Prompts::instance().MessageBox(c_selectFirst);
        return;
    }
    if (!m_writable)
        return;
    MWEditDlg editor(this, m_library.GetAt(index), tr("Modify Molecular Weight Ladder"));
    if (editor.exec() != QDialog::Accepted)
        return;
    // Replaced in place, so the ladder keeps its position in the library.
    m_library.Replace(index, editor.GetLadder());
    save();
    fillNames(index);
}

void MWLadderDialog::OnDelete()
{
    const int index = m_names->currentIndex();
    if (index < 0 || index >= m_library.GetCount()) {
        Prompts::instance().MessageBox(c_selectFirst);
        return;
    }
    if (!m_writable)
        return;
    m_library.Remove(m_library.GetAt(index));
    save();
    fillNames(m_library.GetCount() > 0 ? 0 : -1);
}

void MWLadderDialog::accept()
{
    const int index = m_names->currentIndex();
    m_selected = index >= 0 && index < m_library.GetCount() ? index : -1;
    QDialog::accept();
}
