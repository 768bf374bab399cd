#include "appbase/ui/pages/IPPropertyPage.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/Prompts.h"

#include <QLabel>
#include <QVBoxLayout>

IPPropertyPage::IPPropertyPage(CDrawImage *target, enImageProcessingMethod method,
                               const QString &title, QWidget *parent)
    : QWidget(parent), m_pTarget(target),
      m_pBackup(std::make_unique<CDrawImage>(target->m_position)), m_method(method), m_title(title)
{
    // The whole picture is kept, history included: a preview then records
    // only the setting shown, not every setting tried on the way.
    *m_pBackup->GetImage() = *target->GetImage();
}

IPPropertyPage::~IPPropertyPage() = default;

void IPPropertyPage::RestoreFromBackup()
{
    *m_pTarget->GetImage() = *m_pBackup->GetImage();
}

void IPPropertyPage::OnPreview()
{
    WaitCursor wait;
    RestoreFromBackup();
    if (!IsIdentity())
        ApplyImageProcessingMethod(*m_pTarget->GetImage(), m_method, GetParameters());
    RepaintTarget();
}

bool IPPropertyPage::OnApply()
{
    if (!m_bModified)
        return true;
    OnPreview();
    *m_pBackup->GetImage() = *m_pTarget->GetImage();
    m_pBackup->m_position = m_pTarget->m_position;
    if (CDrawDocument *doc = m_pTarget->GetDocument())
        doc->SetModifiedFlag();
    SetModified(false);
    return true;
}

void IPPropertyPage::Reset()
{
    RestoreFromBackup();
    RepaintTarget();
}

void IPPropertyPage::OnSetActive()
{
    if (m_pDescription && !m_bModified) {
        SetModified(true);
        OnPreview();
    }
}

void IPPropertyPage::SetModified(bool bModified)
{
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    emit modifiedChanged(bModified);
}

void IPPropertyPage::SetDescription(const QString &text)
{
    if (!m_pDescription) {
        m_pDescription = new QLabel(this);
        m_pDescription->setWordWrap(true);
        m_pDescription->setMinimumWidth(360);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_pDescription);
        layout->addStretch(1);
    }
    m_pDescription->setText(text);
}

void IPPropertyPage::RepaintTarget()
{
    const CSize size = m_pTarget->GetImage()->GetSize();
    const CRect &pos = m_pTarget->m_position;
    if (pos.left != 0 || pos.top != 0 || pos.Width() != size.cx || pos.Height() != size.cy) {
        m_pTarget->Invalidate();
        m_pTarget->SizeToImage();
        if (CDrawDocument *doc = m_pTarget->GetDocument()) {
            doc->UpdateAllViews(nullptr);
            return;
        }
    }
    m_pTarget->Invalidate();
}
