#include "appbase/ui/pages/IPMainPropertySheet.h"

#include "appbase/ui/pages/IPPDisplayAdjustment.h"
#include "appbase/ui/pages/IPPInvert.h"
#include "appbase/ui/pages/IPPMedianBlur3.h"
#include "appbase/ui/pages/IPPPaletteAutoContrast.h"
#include "appbase/ui/pages/IPPPaletteNormal.h"
#include "appbase/ui/pages/IPPPaletteSaturation.h"
#include "appbase/ui/pages/IPPPaletteShadesOfBlue.h"
#include "appbase/ui/pages/IPPPaletteShadesOfGreen.h"
#include "appbase/ui/pages/IPPPaletteShadesOfRed.h"
#include "appbase/ui/pages/IPPRotate90CCW.h"
#include "appbase/ui/pages/IPPRotate90CW.h"
#include "appbase/ui/pages/IPPRotateArbitrary.h"
#include "appbase/ui/pages/IPPRotateFlipH.h"
#include "appbase/ui/pages/IPPRotateFlipV.h"
#include "appbase/ui/pages/IPPropertyPage.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include <QDialogButtonBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

IPMainPropertySheet::IPMainPropertySheet(CDrawImage *target, enImageProcessingMethod method,
                                         QWidget *parent)
    : QDialog(parent), m_method(method), m_pTabs(new QTabWidget(this))
{
    setWindowTitle(method == IPM_DisplayAdjustment ? tr("Display Adjustment")
                                                   : tr("Image processing"));
    m_pTabs->setDocumentMode(false);
    if (target) {
        m_pPage = CreatePage(target, method, m_pTabs);
        if (m_pPage)
            m_pTabs->addTab(m_pPage, m_pPage->GetTitle());
    }

    m_pButtons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_pApply = m_pButtons->button(QDialogButtonBox::Apply);
    m_pApply->setEnabled(false);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &IPMainPropertySheet::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &IPMainPropertySheet::reject);
    connect(m_pApply, &QPushButton::clicked, this, &IPMainPropertySheet::OnApplyNow);
    if (m_pPage)
        connect(m_pPage, &IPPropertyPage::modifiedChanged, m_pApply, &QPushButton::setEnabled);
    else
        m_pButtons->button(QDialogButtonBox::Ok)->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pButtons);
    // The sheet is as small as its page allows; it need not grow with the window.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

IPMainPropertySheet::~IPMainPropertySheet() = default;

IPPropertyPage *IPMainPropertySheet::CreatePage(CDrawImage *target, enImageProcessingMethod method,
                                                QWidget *parent)
{
    switch (method) {
    case IPM_FlipHorizontally:
        return new IPPRotateFlipH(target, parent);
    case IPM_FlipVertically:
        return new IPPRotateFlipV(target, parent);
    case IPM_Rotate90CW:
        return new IPPRotate90CW(target, parent);
    case IPM_Rotate90CCW:
        return new IPPRotate90CCW(target, parent);
    case IPM_RotateArbitrarily:
        return new IPPRotateArbitrary(target, parent);
    case IPM_Invert:
        return new IPPInvert(target, parent);
    case IPM_DisplayAdjustment:
        return new IPPDisplayAdjustment(target, parent);
    case IPM_NormalPalette:
        return new IPPPaletteNormal(target, parent);
    case IPM_AutoContrastPalette:
        return new IPPPaletteAutoContrast(target, parent);
    case IPM_SaturationPalette:
        return new IPPPaletteSaturation(target, parent);
    case IPM_ShadesOfGreenPalette:
        return new IPPPaletteShadesOfGreen(target, parent);
    case IPM_ShadesOfBluePalette:
        return new IPPPaletteShadesOfBlue(target, parent);
    case IPM_ShadesOfRedPalette:
        return new IPPPaletteShadesOfRed(target, parent);
    case IPM_NoiseReductionMedianBlur:
        return new IPPMedianBlur3(target, parent);
    default:
        return nullptr;
    }
}

void IPMainPropertySheet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_bActivated && m_pPage) {
        m_bActivated = true;
        m_pPage->OnSetActive();
    }
}

void IPMainPropertySheet::OnApplyNow()
{
    if (m_pPage)
        m_pPage->OnApply();
}

void IPMainPropertySheet::accept()
{
    if (m_pPage && !m_pPage->OnApply())
        return;
    QDialog::accept();
}

void IPMainPropertySheet::reject()
{
    if (m_pPage)
        m_pPage->Reset();
    QDialog::reject();
}

bool RunImageAdjustmentSheet(CDrawImage *target, enImageProcessingMethod method, QWidget *parent)
{
    if (!target)
        return false;
    IPMainPropertySheet sheet(target, method, parent);
    if (!sheet.GetPage())
        return false;
    return sheet.exec() == QDialog::Accepted;
}

QImage RenderAdjustmentPageForScreenshot(CDrawImage *target, enImageProcessingMethod method,
                                         QWidget *window)
{
    if (!target)
        return {};
    QImage background;
    if (window) {
        background = window->grab().toImage();
    } else {
        const CSize size = target->GetImage()->GetSize();
        background = QImage(std::max(size.cx, 1), std::max(size.cy, 1),
                            QImage::Format_ARGB32_Premultiplied);
        background.fill(Qt::white);
        QPainter painter(&background);
        const CRect rect(0, 0, size.cx, size.cy);
        target->GetImage()->draw(&painter, &rect);
    }
    background = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);

    IPMainPropertySheet sheet(target, method, window);
    sheet.adjustSize();
    const QImage dialog = sheet.grab().toImage();

    QImage result = background;
    QPainter painter(&result);
    const qreal ratio = result.devicePixelRatio();
    const QSizeF logical = QSizeF(result.size()) / ratio;
    const QSizeF dialogSize = QSizeF(dialog.size()) / dialog.devicePixelRatio();
    // A title bar, a frame and a shadow stand in for the window manager's decoration.
    const qreal titleHeight = sheet.fontMetrics().height() + 10;
    const QSizeF frameSize(dialogSize.width(), dialogSize.height() + titleHeight);
    const QPointF at(std::max(0.0, (logical.width() - frameSize.width()) / 2),
                     std::max(0.0, (logical.height() - frameSize.height()) / 2));
    const QRectF frame(at, frameSize);
    painter.fillRect(frame.translated(5, 5), QColor(0, 0, 0, 70));
    const QRectF title(at, QSizeF(frameSize.width(), titleHeight));
    painter.fillRect(title, sheet.palette().color(QPalette::Window).darker(115));
    painter.setPen(sheet.palette().color(QPalette::WindowText));
    painter.setFont(sheet.font());
    painter.drawText(title.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     sheet.windowTitle());
    painter.drawImage(QRectF(at + QPointF(0, titleHeight), dialogSize), dialog);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(-0.5, -0.5, 0.5, 0.5));
    return result;
}
