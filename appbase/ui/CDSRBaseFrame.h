#pragma once

// The main frame base of the desktop program: the ribbon (a tab widget of
// grouped tool buttons, each one a QAction of the command registry), the quick
// access toolbar, the status bar with its zoom slider and percentage pane, the
// colour and line-weight buttons the views read, and the dockable output pane.
//
// The frame installs itself as the FrameServices the headless views call and
// as the document's FrameStyle, and removes itself when it goes.
//
// Icons come from the desktop's icon theme (freedesktop names); the program
// bundles its own under ":/icons/" for the gel commands and as the fallback
// of every themed one.

#include "appbase/CDensoraDoc.h"
#include "appbase/CommandRegistry.h"
#include "appbase/FrameServices.h"

#include "platform/Colors.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <map>

class COutputWnd;
class CRibbonPanel;
class QLabel;
class QMenu;
class QSlider;
class QTabWidget;
class QToolButton;

class CDSRBaseFrame : public QMainWindow, public FrameServices, public CDensoraDoc::FrameStyle
{
    Q_OBJECT
public:
    explicit CDSRBaseFrame(QWidget *parent = nullptr);
    ~CDSRBaseFrame() override;

    CommandRegistry &GetRegistry() { return m_registry; }

    // Window creation: the (empty) ribbon bar and the status bar. Derived frames
    // call it first, then add the ribbon's categories.
    virtual bool OnCreate();
    bool CreateStatusBar();
    // The "Home" tab: clipboard, overlay objects, image adjustment, image
    // processing and image information; and the "View" tab with the zoom.
    void AddTab_Home();
    // The quick access toolbar above the tabs: save, undo, redo.
    void Add_QAT();

    // Ribbon building --------------------------------------------------------------
    QTabWidget *GetRibbon() const { return m_pRibbon; }
    QWidget *AddRibbonTab(const QString &caption);
    CRibbonPanel *AddPanel(QWidget *tab, const QString &caption);
    // The application button left of the tabs; returns its menu.
    QMenu *AddApplicationButton(const QString &label, const QIcon &icon);
    // An element at the right end of the tab row (style drop-down, About, Help).
    void AddTabRowElement(QWidget *widget);
    // The registry's action for a command. A command no handler has registered
    // yet gets a disabled stand-in under the caption; the same QAction serves
    // once its owner registers the number.
    QAction *Command(int id, const QString &caption);
    // A menu entry that runs command 'id' under its own wording, enabled with the
    // command and showing its shortcut.
    QAction *AddMenuEntry(QMenu *menu, int id, const QString &text, const QIcon &icon = QIcon());
    // A drop-down button whose menu runs the given commands.
    QToolButton *AddMenuButton(CRibbonPanel *panel, const QString &caption, const QIcon &icon,
                               const QList<QPair<int, QString>> &commands, bool large);
    // Themed icon with the program's own picture as fallback; an empty theme
    // name takes the program's picture only.
    static QIcon RibbonIcon(const QString &themeName, const QString &ownIcon = QString());

    // Colour and line-weight buttons ----------------------------------------------
    // A colour button runs command 'id' when clicked or when a colour is picked;
    // its value starts as the automatic colour.
    QToolButton *AddColorButton(CRibbonPanel *panel, int id, const QString &caption,
                                const QIcon &icon, COLORREF automaticColor);
    // The gallery "1 pt" ... "7 pt"; picking an entry runs command 'id'.
    QToolButton *AddLineWeightGallery(CRibbonPanel *panel, int id, const QString &caption,
                                      const QIcon &icon);
    // What the user picks in those menus (-1: the automatic colour / no weight).
    void ChooseColor(int id, long color);
    void ChooseLineWeight(int id, int weight);

    long GetColorFromColorButton(int id) const override;
    int GetWeightFromLineWeight(int id) const override;
    void DisplayStatusBarText(const QString &text) override;
    void SetZoomSlider(float zoomFactor) override;

    long GetLineColor() const override;
    int GetLineWeight() const override;

    // Zoom slider --------------------------------------------------------------------
    // Slider 0..100 to a zoom percentage: 10..100 % on the left half, 100..500 %
    // on the right; and a zoom factor back to a position (fraction dropped).
    static int ZoomPercentFromSlider(int position);
    static int SliderFromZoomFactor(float zoomFactor);
    QSlider *GetZoomSlider() const { return m_pZoomSlider; }
    QLabel *GetZoomPane() const { return m_pZoomPane; }
    QString GetStatusBarText() const;

    // Output pane ---------------------------------------------------------------------
    // Creates the pane docked at the bottom (hidden until shown), or returns the
    // existing one.
    COutputWnd *CreateOutputWindow();
    // Destroys the pane and everything in its tabs.
    virtual void DestroyOutputWindow();
    COutputWnd *GetOutputWnd() const;

    // Ids of the colour buttons and the gallery whose choices Add gives new objects.
    static constexpr int kLineColorButton = 32822;
    static constexpr int kFillColorButton = 32820;
    static constexpr int kLineWeightGallery = 32824;

signals:
    // The user moved the zoom slider: the view should show this zoom factor.
    void zoomRequested(float zoomFactor);

protected:
    void updateZoomPane(int percent);

    CommandRegistry m_registry;

private:
    struct ColorButton
    {
        QToolButton *button = nullptr;
        QIcon baseIcon;
        COLORREF automatic = 0;
        long chosen = -1; // -1: the automatic colour
    };
    struct WeightGallery
    {
        QToolButton *button = nullptr;
        QList<QAction *> entries;
        int selected = -1; // index into entries
    };
    void paintColorIcon(ColorButton &button);
    QWidget *colorGrid(int id, QMenu *menu);

    QWidget *m_pRibbonBar = nullptr;
    QTabWidget *m_pRibbon = nullptr;
    QWidget *m_pQat = nullptr;
    QWidget *m_pTabRow = nullptr;
    QLabel *m_pStatusText = nullptr;
    QLabel *m_pZoomPane = nullptr;
    QSlider *m_pZoomSlider = nullptr;
    QPointer<COutputWnd> m_pOutputWnd;
    std::map<int, ColorButton> m_colorButtons;
    std::map<int, WeightGallery> m_weightGalleries;
};
