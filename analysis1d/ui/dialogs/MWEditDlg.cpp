#include "analysis1d/ui/dialogs/MWEditDlg.h"

#include "analysis1d/ui/dialogs/MarkerListFill.h"
#include "platform/Prompts.h"
#include "util/StringUtil.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <vector>

const QString MWEditDlg::c_presetValue = QStringLiteral("00.00");

namespace {
constexpr int kMinimumMarkers = 3;
}

MWEditDlg::MWEditDlg(QWidget *parent, const StorableMWStandard &ladder, const QString &title)
    : QDialog(parent), m_ladder(ladder), m_name(new QLineEdit(ladder.m_name)),
      m_material(new QLineEdit(ladder.m_material)), m_units(new QLineEdit(ladder.m_units)),
      m_value(new QLineEdit), m_list(new QTreeWidget)
{
    setWindowTitle(title);
    auto *fields = new QFormLayout;
    fields->addRow(tr("Name: "), m_name);
    fields->addRow(tr("Material:"), m_material);
    fields->addRow(tr("Units:"), m_units);

    auto *add = new QPushButton(tr("Add"));
    auto *remove = new QPushButton(tr("Remove"));
    auto *edit = new QPushButton(tr("Edit"));
    auto *entry = new QHBoxLayout;
    entry->addWidget(m_value);
    entry->addWidget(add);
    entry->addWidget(remove);
    entry->addWidget(edit);
    connect(add, &QPushButton::clicked, this, &MWEditDlg::OnAddValue);
    connect(remove, &QPushButton::clicked, this, &MWEditDlg::OnRemoveValue);
    connect(edit, &QPushButton::clicked, this, &MWEditDlg::OnEditValue);
    // Return in the entry field adds the weight instead of closing the dialog.
    connect(m_value, &QLineEdit::returnPressed, this, &MWEditDlg::OnAddValue);

    m_list->setHeaderLabels({tr("Marker"), tr("Molecular Weight")});
    m_list->setRootIsDecorated(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    for (QAbstractButton *b : buttons->buttons())
        static_cast<QPushButton *>(b)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &MWEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MWEditDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(entry);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    for (QPushButton *b : {add, remove, edit})
        b->setAutoDefault(false);
    fillList();
    resetValueField();
}

void MWEditDlg::fillList()
{
    MarkerListFill::Fill(m_list, m_ladder.m_values);
}

void MWEditDlg::resetValueField()
{
    m_value->setText(c_presetValue);
    m_value->setFocus();
    m_value->selectAll();
}

void MWEditDlg::OnAddValue()
{
    double value = 0.0;
    if (!StringUtil::FromString(m_value->text().trimmed(), 1, value) || value <= 0.0) {
        Prompts::instance().MessageBox(QStringLiteral("Please enter a valid value larger than 0"));
        return;
    }
    if (m_editedIndex >= 0 && m_editedIndex < m_ladder.m_values.GetSize())
        m_ladder.m_values[m_editedIndex] = value;
    else
        m_ladder.m_values.Add(value);
    m_editedIndex = -1;
    std::vector<double> values;
    for (int i = 0; i < m_ladder.m_values.GetSize(); ++i)
        values.push_back(m_ladder.m_values[i]);
    std::sort(values.begin(), values.end(), std::greater<>());
    for (int i = 0; i < int(values.size()); ++i)
        m_ladder.m_values[i] = values[size_t(i)];
    fillList();
    resetValueField();
}

void MWEditDlg::OnRemoveValue()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_ladder.m_values.GetSize())
        return;
    m_ladder.m_values.RemoveAt(row);
    m_editedIndex = -1;
    fillList();
}

void MWEditDlg::OnEditValue()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_ladder.m_values.GetSize())
        return;
    m_editedIndex = row;
    m_value->setText(StringUtil::FloatFormatString(m_ladder.m_values[row], 0, 2));
    m_value->setFocus();
    m_value->selectAll();
}

void MWEditDlg::accept()
{
    if (m_ladder.m_values.GetSize() < kMinimumMarkers) {
        Prompts::instance().MessageBox(QStringLiteral("You need a minimum of 3 markers. "));
        return;
    }
    m_ladder.m_name = m_name->text();
    m_ladder.m_material = m_material->text();
    m_ladder.m_units = m_units->text();
    QDialog::accept();
}
