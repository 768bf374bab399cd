#pragma once

// The sheet of an image-processing command: one page for the method, with OK,
// Cancel and Apply. OK applies the page (when it has something to apply),
// Apply applies it and keeps the sheet open, Cancel resets the page, which
// puts back the state of the last Apply (the view puts back the state before
// the command from its own backup).
//
// The sheet can be built without being shown (screenshots, tests); the page
// previews nothing until it is shown or changed.

#include "appbase/ImageProcessingMethod.h"

#include <QDialog>
#include <QImage>

class CDrawImage;
class IPPropertyPage;
class QDialogButtonBox;
class QPushButton;
class QTabWidget;

class IPMainPropertySheet : public QDialog
{
    Q_OBJECT
public:
    IPMainPropertySheet(CDrawImage *target, enImageProcessingMethod method,
                        QWidget *parent = nullptr);
    ~IPMainPropertySheet() override;

    enImageProcessingMethod GetMethod() const { return m_method; }
    // The page for the method; null for a method without one.
    IPPropertyPage *GetPage() const { return m_pPage; }
    QPushButton *GetApplyButton() const { return m_pApply; }

    // The page for a method, or null (methods without a page).
    static IPPropertyPage *CreatePage(CDrawImage *target, enImageProcessingMethod method,
                                      QWidget *parent);

    void accept() override;
    void reject() override;
    // What the Apply button does.
    void OnApplyNow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    enImageProcessingMethod m_method;
    IPPropertyPage *m_pPage = nullptr; // owned through the tab widget
    QTabWidget *m_pTabs;
    QDialogButtonBox *m_pButtons;
    QPushButton *m_pApply;
    bool m_bActivated = false;
};

// The view's image-processing command with the dialog: runs the sheet for the
// target and method modally. True on OK; false on Cancel (the page has reset
// the target to its last applied state; the caller restores the state before
// the command) and for a method without a page (nothing shown).
bool RunImageAdjustmentSheet(CDrawImage *target, enImageProcessingMethod method, QWidget *parent);

// For the screenshot program: the sheet for 'method' as it opens over
// 'window' (grabbed as it is), centred on it; without a window, over the
// picture drawn at its own size. Nothing is shown and the target is unchanged.
QImage RenderAdjustmentPageForScreenshot(CDrawImage *target, enImageProcessingMethod method,
                                         QWidget *window = nullptr);
