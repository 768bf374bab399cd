#include "contracts/overlay/ui/CLineWeightDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// A sample of the line at its weight (a point is a pixel on the screen here).
QIcon weightSample(int weight, const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (weight > 0) {
        QPainter painter(&pixmap);
        painter.setPen(QPen(Qt::black, weight, Qt::SolidLine, Qt::FlatCap));
        const int y = size.height() / 2;
        painter.drawLine(2, y, size.width() - 2, y);
    }
    return QIcon(pixmap);
}
} // namespace

CLineWeightDlg::CLineWeightDlg(QWidget *parent, int current)
    : QDialog(parent), m_pList(new QListWidget(this))
{
    setWindowTitle(tr("Line Weight"));
    const QSize sample(80, 14);
    m_pList->setIconSize(sample);
    m_pList->setUniformItemSizes(true);
    for (int w = 0; w <= c_nMaxWeight; ++w) {
        auto *item = new QListWidgetItem(weightSample(w, sample),
                                         w == 0 ? tr("None") : tr("%1 pt").arg(w), m_pList);
        item->setData(Qt::UserRole, w);
    }
    SetWeight(current);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("&Weight of the line:"), this);
    label->setBuddy(m_pList);
    layout->addWidget(label);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);

    const int rows = c_nMaxWeight + 1;
    const int rowHeight = std::max(m_pList->sizeHintForRow(0), sample.height() + 4);
    m_pList->setFixedHeight(rows * rowHeight + 2 * m_pList->frameWidth() + 2);
    m_pList->setMinimumWidth(
        std::max(m_pList->sizeHintForColumn(0) + 2 * m_pList->frameWidth() + 8, 200));
}

CLineWeightDlg::~CLineWeightDlg() = default;

int CLineWeightDlg::GetWeight() const
{
    const QListWidgetItem *item = m_pList->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void CLineWeightDlg::SetWeight(int weight)
{
    m_pList->setCurrentRow(std::clamp(weight, 0, c_nMaxWeight));
}

int AskLineWeight(int current, QWidget *parent)
{
    CLineWeightDlg dialog(parent, current);
    return dialog.exec() == QDialog::Accepted ? dialog.GetWeight() : -1;
}
