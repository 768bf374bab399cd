#include "analysis1d/ui/dialogs/CalibrationMainPP.h"

#include "analysis1d/calibration/CalibrationQuality.h"
#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
#include "util/StringUtil.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <tuple>

CalibrationMainPP::CalibrationMainPP(Analysis1D *analysis, Analysis1DView *view, QWidget *parent)
    : QWidget(parent), m_analysis(analysis), m_view(view), m_list(new QTreeWidget)
{
    m_list->setHeaderLabels({tr("Lane,Band"), tr("Calculated Intens."), tr("Known Amount"),
                             tr("Migration"), tr("Known MW"), tr("LOO Amount"), tr("LOO MW")});
    const QString loo = tr("Leave-one-out error: the curve fitted without this band, read at "
                           "it, against the known value, in percent");
    m_list->headerItem()->setToolTip(kLooAmountColumn, loo);
    m_list->headerItem()->setToolTip(kLooMWColumn, loo);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Wide enough for all seven columns without scrolling.
    m_list->setMinimumWidth(660);
    auto *add = new QPushButton(tr("Add"));
    auto *remove = new QPushButton(tr("Remove"));
    auto *ladder = new QPushButton(tr("w Ladder"));
    connect(add, &QPushButton::clicked, this, &CalibrationMainPP::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CalibrationMainPP::OnRemove);
    connect(ladder, &QPushButton::clicked, this, &CalibrationMainPP::OnMakeLadder);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(ladder);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    Fill();
}

namespace {

// The leave-one-out error of the band as the column shows it ("+3.2 %"), or
// empty when the band has none.
QString looText(const CalibrationQuality &quality, int lane, int band)
{
    for (const CalibrationQuality::KnownBand &k : quality.knownBands()) {
        if (k.lane == lane && k.band == band) {
            return k.hasLeaveOneOut ? QString::asprintf("%+.1f %%", k.leaveOneOutErrorPercent)
                                    : QString();
        }
    }
    return QString();
}

} // namespace

void CalibrationMainPP::Fill()
{
    m_list->clear();
    if (!m_analysis)
        return;
    const CArray<Lane> &lanes = *m_analysis->GetLanes();
    const CalibrationQuality amounts
        = CalibrationQuality::Measure(*m_analysis, CalibrationQuality::Kind::Intensity);
    const CalibrationQuality weights
        = CalibrationQuality::Measure(*m_analysis, CalibrationQuality::Kind::MolecularWeight);
    const int worstAmount = amounts.worstKnownBand();
    const int worstWeight = weights.worstKnownBand();
    for (const MWAssignments::BandRef &ref : MWAssignments::AssignedBands(lanes)) {
        const BandData &data = *lanes[ref.lane].GetBand(ref.band).getData();
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, MWAssignments::FormatLaneBand(ref.lane, ref.band));
        if (data.m_hasKnownIntensity) {
            item->setText(1, StringUtil::FloatFormatString(data.m_intensity, 0, 0));
            item->setText(2, StringUtil::FloatFormatString(data.m_knownIntensity, 0, 2));
        }
        if (data.m_hasKnownMW) {
            item->setText(3, QString::number(data.m_centerOfGravity.y));
            item->setText(4, StringUtil::FloatFormatString(data.m_knownMW, 0, 2));
        }
        item->setText(kLooAmountColumn, looText(amounts, ref.lane, ref.band));
        item->setText(kLooMWColumn, looText(weights, ref.lane, ref.band));
        // The band the others disagree with most is shown in bold.
        for (const auto &[quality, worst, column] :
             {std::tuple(&amounts, worstAmount, kLooAmountColumn),
              std::tuple(&weights, worstWeight, kLooMWColumn)}) {
            if (worst < 0)
                continue;
            const CalibrationQuality::KnownBand &w = quality->knownBands()[size_t(worst)];
            if (w.lane == ref.lane && w.band == ref.band) {
                QFont bold = item->font(column);
                bold.setBold(true);
                item->setFont(column, bold);
            }
        }
        for (int c = 1; c < kColumnCount; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->scrollToItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
}

void CalibrationMainPP::OnRemove()
{
    if (!m_analysis)
        return;
    CArray<Lane> &lanes = *m_analysis->GetLanes();
    bool removed = false;
    for (const QTreeWidgetItem *item : m_list->selectedItems()) {
        int lane = 0;
        int band = 0;
        if (!MWAssignments::ParseLaneBand(item->text(0), lane, band))
            continue;
        if (lane < 0 || lane >= lanes.GetSize() || band < 0
            || band >= lanes[lane].GetNumberOfBands())
            continue;
        MWAssignments::RemoveAssignments(lanes, lane, band);
        removed = true;
    }
    Fill();
    if (!removed)
        return;
    m_analysis->UpdateReportAndGraph();
    emit valuesChanged();
}

void CalibrationMainPP::OnAdd()
{
    if (!m_analysis)
        return;
    if (AnalysisViewSeam *seam = AnalysisViewSeam::For(m_view))
        seam->StartTool(AnalysisViewSeam::kKnownAmountPickTool);
    emit closeSheet();
}

void CalibrationMainPP::OnMakeLadder()
{
    if (!m_analysis)
        return;
    StorableMWStandard ladder;
    if (!MWAssignments::NewLadderFromAssignments(*m_analysis->GetLanes(), ladder))
        return;
    MWLadderDialog library(this);
    library.AddFromEditor(ladder, tr("Add Molecular Weight Ladder"));
}
