#include "imaging/ui/ImageProcessingListPP.h"

#include "imaging/TVFImage.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

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
