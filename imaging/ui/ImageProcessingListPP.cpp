#include "imaging/ui/ImageProcessingListPP.h"

#include "imaging/TVFImage.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

ImageProcessingListPP::ImageProcessingListPP(TVFImage *pImage, QWidget *parent)
    : QWidget(parent), m_pImage(pImage), m_pList(new QListWidget(this))
{
    setWindowTitle(tr("Processing history"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Operations applied to the picture, oldest first:"), this));
    layout->addWidget(m_pList);
    m_pList->setMinimumSize(360, 160);
    OnInitDialog();
}

ImageProcessingListPP::~ImageProcessingListPP() = default;

void ImageProcessingListPP::OnInitDialog()
{
    m_pList->clear();
    if (m_pImage)
        m_pList->addItems(SplitHistory(m_pImage->GetPreprocessStr()));
    // Wide enough for the longest entry, within reason (longer ones scroll).
    int widest = 0;
    for (int i = 0; i < m_pList->count(); ++i)
        widest
            = std::max(widest, m_pList->fontMetrics().horizontalAdvance(m_pList->item(i)->text()));
    m_pList->setMinimumWidth(std::clamp(widest + 2 * m_pList->frameWidth() + 24, 360, 800));
}

QStringList ImageProcessingListPP::SplitHistory(const QString &history)
{
    QStringList entries;
    qsizetype from = history.indexOf(QLatin1Char('{'));
    while (from >= 0) {
        const qsizetype to = history.indexOf(QLatin1Char('}'), from);
        if (to < 0)
            break;
        entries << history.mid(from, to - from + 1);
        from = history.indexOf(QLatin1Char('{'), to + 1);
    }
    return entries;
}
