#pragma once

// Base of the image-adjustment pages. A page works on one image object (not
// owned) and keeps a backup of its picture taken when the page is made: every
// preview starts again from that backup, so the target always shows the base
// state plus the page's current setting. Apply makes the previewed state the
// new base; Reset (Cancel) puts the base back.

#include "appbase/ImageProcessingMethod.h"

#include <QString>
#include <QWidget>

#include <memory>

class CDrawImage;
class QLabel;

class IPPropertyPage : public QWidget
{
    Q_OBJECT
public:
    IPPropertyPage(CDrawImage *target, enImageProcessingMethod method, const QString &title,
                   QWidget *parent = nullptr);
    ~IPPropertyPage() override;

    enImageProcessingMethod GetMethod() const { return m_method; }
    // The caption of the page's tab.
    const QString &GetTitle() const { return m_title; }
    CDrawImage *GetTarget() const { return m_pTarget; }
    const CDrawImage *GetBackup() const { return m_pBackup.get(); }

    // With the wait cursor: the target's picture := the backup's, the page's
    // operation applied to it, the target repainted.
    virtual void OnPreview();
    // Only while the page is modified (the sheet's Apply button enabled): the
    // preview, then the backup := the target and the document marked modified.
    virtual bool OnApply();
    // The target's picture := the backup's, sized to it and repainted.
    virtual void Reset();
    // Called by the sheet when the page is first shown. A page without
    // settings previews its operation straight away, so what OK applies is on
    // the screen.
    virtual void OnSetActive();

    bool IsModified() const { return m_bModified; }
    void SetModified(bool bModified = true);

signals:
    void modifiedChanged(bool bModified);

protected:
    // The settings the operation is applied with; pages without settings keep
    // the defaults.
    virtual IPParameters GetParameters() const { return {}; }
    // Whether the current setting changes nothing (the preview then is the backup).
    virtual bool IsIdentity() const { return false; }
    // A short text telling what the page does (pages without settings).
    void SetDescription(const QString &text);
    // Repaints the target; when its picture changed size the target is sized to
    // it and every view is told (scroll sizes change).
    void RepaintTarget();

private:
    void RestoreFromBackup();

    CDrawImage *m_pTarget; // not owned
    std::unique_ptr<CDrawImage> m_pBackup;
    enImageProcessingMethod m_method;
    QString m_title;
    bool m_bModified = false;
    QLabel *m_pDescription = nullptr;
};
