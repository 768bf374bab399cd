#include "appbase/ui/CDSRBaseFrame.h"

#include "appbase/DensoraCommandIds.h"

#include "appbase/ui/COutputWnd.h"
#include "appbase/ui/CRibbonPanel.h"

#include "numerics/MathTVR.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <algorithm>

namespace {

namespace Cmd = DensoraCmd;

// Save and the analysis pane belong to the program; the quick access toolbar
// and the "Image Info" panel show them.
constexpr int kFileSave = 57603;
constexpr int kAnalysisData = 12010;

// The percentage pane is sized for its widest text.
const QString kWidestZoomText = QStringLiteral("1000%");

// The swatches of the colour menus: the usual office set.
const COLORREF kSwatches[] = {
    RGB(0, 0, 0),       RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255),
    RGB(128, 0, 0),     RGB(255, 0, 0),     RGB(255, 128, 128), RGB(255, 192, 0),
    RGB(255, 255, 0),   RGB(255, 255, 153), RGB(0, 128, 0),     RGB(0, 176, 80),
    RGB(146, 208, 80),  RGB(0, 128, 128),   RGB(0, 176, 240),   RGB(0, 112, 192),
    RGB(0, 0, 128),     RGB(0, 32, 96),     RGB(112, 48, 160),  RGB(255, 0, 255),
};
constexpr int kSwatchColumns = 4;

QIcon weightIcon(int weight)
{
    // Drawn at twice the size as well: crisp on a high-DPI screen.
    QPixmap pixmap(96, 32);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(QRect(2, 8 - weight / 2, 44, weight), Qt::black);
    return QIcon(pixmap);
}

} // namespace

CDSRBaseFrame::CDSRBaseFrame(QWidget *parent) : QMainWindow(parent), m_registry(this)
{
    setObjectName(QStringLiteral("mainFrame"));
    FrameServices::install(this);
    CDensoraDoc::SetFrameStyle(this);
}

CDSRBaseFrame::~CDSRBaseFrame()
{
    if (FrameServices::instance() == this)
        FrameServices::install(nullptr);
    if (CDensoraDoc::GetFrameStyle() == this)
        CDensoraDoc::SetFrameStyle(nullptr);
}

bool CDSRBaseFrame::OnCreate()
{
    if (m_pRibbon)
        return true;
    m_pRibbonBar = new QWidget(this);
    m_pRibbonBar->setObjectName(QStringLiteral("ribbonBar"));
    auto *bar = new QVBoxLayout(m_pRibbonBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);

    m_pQat = new QWidget(m_pRibbonBar);
    m_pQat->setObjectName(QStringLiteral("quickAccessToolbar"));
    auto *qat = new QHBoxLayout(m_pQat);
    qat->setContentsMargins(4, 1, 4, 1);
    qat->setSpacing(1);
    qat->addStretch(1);
    bar->addWidget(m_pQat);

    m_pRibbon = new QTabWidget(m_pRibbonBar);
    m_pRibbon->setObjectName(QStringLiteral("ribbon"));
    m_pRibbon->setDocumentMode(true);
    m_pRibbon->setUsesScrollButtons(true);
    m_pRibbon->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_pTabRow = new QWidget(m_pRibbon);
    auto *row = new QHBoxLayout(m_pTabRow);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(2);
    m_pRibbon->setCornerWidget(m_pTabRow, Qt::TopRightCorner);
    bar->addWidget(m_pRibbon);
    setMenuWidget(m_pRibbonBar);
    return CreateStatusBar();
}

bool CDSRBaseFrame::CreateStatusBar()
{
    QStatusBar *status = statusBar();
    if (m_pZoomSlider)
        return true;
    m_pStatusText = new QLabel(status);
    m_pStatusText->setObjectName(QStringLiteral("statusText"));
    m_pStatusText->setTextFormat(Qt::PlainText);
    status->addWidget(m_pStatusText, 1);

    m_pZoomPane = new QLabel(status);
    m_pZoomPane->setObjectName(QStringLiteral("zoomPane"));
    m_pZoomPane->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pZoomPane->setMinimumWidth(m_pZoomPane->fontMetrics().horizontalAdvance(kWidestZoomText)
                                 + 8);
    m_pZoomSlider = new QSlider(Qt::Horizontal, status);
    m_pZoomSlider->setObjectName(QStringLiteral("zoomSlider"));
    m_pZoomSlider->setRange(0, 100);
    m_pZoomSlider->setPageStep(5);
    m_pZoomSlider->setFixedWidth(140);
    m_pZoomSlider->setToolTip(QStringLiteral("Zoom"));
    m_pZoomSlider->setValue(50);
    updateZoomPane(100);
    connect(m_pZoomSlider, &QSlider::valueChanged, this, [this](int position) {
        const int percent = ZoomPercentFromSlider(position);
        updateZoomPane(percent);
        emit zoomRequested(float(percent) / 100.0f);
    });
    status->addPermanentWidget(m_pZoomPane);
    status->addPermanentWidget(m_pZoomSlider);
    return true;
}

// --- zoom -------------------------------------------------------------------------

int CDSRBaseFrame::ZoomPercentFromSlider(int position)
{
    const double p = position;
    const double z = p <= 50 ? MathTVR::map(p, 0, 50, 10, 100) : MathTVR::map(p, 50, 100, 100, 500);
    return int(z);
}

int CDSRBaseFrame::SliderFromZoomFactor(float zoomFactor)
{
    const double t = double(100.0f * zoomFactor);
    const double p = t <= 100 ? MathTVR::map(t, 10, 100, 0, 50) : MathTVR::map(t, 100, 500, 50, 100);
    return int(p);
}

void CDSRBaseFrame::SetZoomSlider(float zoomFactor)
{
    if (!m_pZoomSlider)
        return;
    // Moving the slider here reports a zoom the view already has.
    const QSignalBlocker block(m_pZoomSlider);
    m_pZoomSlider->setValue(SliderFromZoomFactor(zoomFactor));
    updateZoomPane(int(100.0f * zoomFactor + 0.5f));
}

void CDSRBaseFrame::updateZoomPane(int percent)
{
    if (m_pZoomPane)
        m_pZoomPane->setText(QString::asprintf("%d%%", percent));
}

void CDSRBaseFrame::DisplayStatusBarText(const QString &text)
{
    if (m_pStatusText)
        m_pStatusText->setText(text);
}

QString CDSRBaseFrame::GetStatusBarText() const
{
    return m_pStatusText ? m_pStatusText->text() : QString();
}

// --- ribbon -----------------------------------------------------------------------

QIcon CDSRBaseFrame::RibbonIcon(const QString &themeName, const QString &ownIcon)
{
    const QString own = QStringLiteral(":/icons/%1.svg")
                            .arg(ownIcon.isEmpty() ? QStringLiteral("command") : ownIcon);
    if (themeName.isEmpty())
        return QIcon(own);
    return QIcon::fromTheme(themeName, QIcon(own));
}

QWidget *CDSRBaseFrame::AddRibbonTab(const QString &caption)
{
    auto *tab = new QWidget(m_pRibbon);
    tab->setObjectName(QStringLiteral("ribbonTab"));
    auto *layout = new QHBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addStretch(1);
    m_pRibbon->addTab(tab, caption);
    return tab;
}

CRibbonPanel *CDSRBaseFrame::AddPanel(QWidget *tab, const QString &caption)
{
    auto *layout = static_cast<QHBoxLayout *>(tab->layout());
    auto *panel = new CRibbonPanel(caption, tab);
    // Before the closing stretch, with a line after every panel.
    const int at = layout->count() - 1;
    layout->insertWidget(at, panel);
    auto *line = new QFrame(tab);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->insertWidget(at + 1, line);
    return panel;
}

QMenu *CDSRBaseFrame::AddApplicationButton(const QString &label, const QIcon &icon)
{
    auto *button = new QToolButton(m_pRibbon);
    button->setObjectName(QStringLiteral("applicationButton"));
    button->setText(label);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    m_pRibbon->setCornerWidget(button, Qt::TopLeftCorner);
    return menu;
}

void CDSRBaseFrame::AddTabRowElement(QWidget *widget)
{
    widget->setParent(m_pTabRow);
    m_pTabRow->layout()->addWidget(widget);
}

QAction *CDSRBaseFrame::Command(int id, const QString &caption)
{
    QAction *action = m_registry.action(id);
    if (!action)
        action = m_registry.add(id, caption, {}, [] { return false; });
    // In the window, so its shortcut works wherever the focus is.
    addAction(action);
    return action;
}

QAction *CDSRBaseFrame::AddMenuEntry(QMenu *menu, int id, const QString &text, const QIcon &icon)
{
    QAction *action = Command(id, text);
    auto *entry = new QAction(icon.isNull() ? action->icon() : icon, text, menu);
    entry->setData(id);
    auto mirror = [entry, action, text] {
        entry->setEnabled(action->isEnabled());
        entry->setCheckable(action->isCheckable());
        entry->setChecked(action->isChecked());
        // The shortcut is the command's; shown here, not grabbed a second time.
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        entry->setText(keys.isEmpty() ? text : text + QLatin1Char('\t') + keys);
    };
    mirror();
    connect(action, &QAction::changed, entry, mirror);
    connect(entry, &QAction::triggered, action, [action] { action->trigger(); });
    menu->addAction(entry);
    return entry;
}

QToolButton *CDSRBaseFrame::AddMenuButton(CRibbonPanel *panel, const QString &caption,
                                          const QIcon &icon,
                                          const QList<QPair<int, QString>> &commands, bool large)
{
    auto *button = new QToolButton(panel);
    button->setText(caption);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    QList<QAction *> entries;
    for (const auto &[id, text] : commands)
        entries << AddMenuEntry(menu, id, text);
    connect(menu, &QMenu::aboutToShow, this, [this] { m_registry.updateAll(); });
    button->setMenu(menu);
    // The button can be pressed while one of its commands can run.
    const auto follow = [button, entries] {
        button->setEnabled(std::any_of(entries.begin(), entries.end(),
                                       [](const QAction *entry) { return entry->isEnabled(); }));
    };
    for (QAction *entry : entries)
        connect(entry, &QAction::changed, button, follow);
    follow();
    if (large) {
        button->setIconSize(QSize(CRibbonPanel::kLargeIcon, CRibbonPanel::kLargeIcon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
        panel->AddLargeWidget(button);
    } else {
        button->setIconSize(QSize(CRibbonPanel::kSmallIcon, CRibbonPanel::kSmallIcon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        panel->AddSmallWidget(button);
    }
    return button;
}

void CDSRBaseFrame::AddTab_Home()
{
    QWidget *home = AddRibbonTab(QStringLiteral("Home"));

    CRibbonPanel *clipboard = AddPanel(home, QStringLiteral("Clipboard"));
    clipboard->AddLargeButton(Command(Cmd::EditPaste, QStringLiteral("Paste")),
                              QStringLiteral("Paste"), RibbonIcon(QStringLiteral("edit-paste")));
    clipboard->AddSmallButton(Command(Cmd::EditCopy, QStringLiteral("Copy")),
                              QStringLiteral("Copy"), RibbonIcon(QStringLiteral("edit-copy")));
    clipboard->AddSmallButton(Command(Cmd::EditCopyAsPicture, QStringLiteral("Copy as Picture")),
                              QStringLiteral("Copy as Picture"),
                              RibbonIcon(QStringLiteral("image-x-generic"), QStringLiteral("copy-picture")));
    clipboard->AddSmallButton(Command(Cmd::EditClear, QStringLiteral("Delete")),
                              QStringLiteral("Delete"), RibbonIcon(QStringLiteral("edit-delete")));

    CRibbonPanel *overlay = AddPanel(home, QStringLiteral("Overlay Objects"));
    overlay->AddSmallButton(Command(Cmd::ToolSelect, QStringLiteral("Arrow")),
                            QStringLiteral("Arrow"),
                            RibbonIcon(QStringLiteral("edit-select"), QStringLiteral("arrow")));
    overlay->AddSmallButton(Command(Cmd::ToolRectangle, QStringLiteral("Rectangle")),
                            QStringLiteral("Rectangle"),
                            RibbonIcon(QStringLiteral("draw-rectangle"), QStringLiteral("rectangle")));
    overlay->AddSmallButton(Command(Cmd::ToolEllipse, QStringLiteral("Ellipse")),
                            QStringLiteral("Ellipse"),
                            RibbonIcon(QStringLiteral("draw-ellipse"), QStringLiteral("ellipse")));
    overlay->AddSmallButton(Command(Cmd::ToolLine, QStringLiteral("Line")),
                            QStringLiteral("Line"),
                            RibbonIcon(QStringLiteral("draw-line"), QStringLiteral("line")));
    overlay->AddSmallButton(Command(Cmd::ToolLabel, QStringLiteral("Label")),
                            QStringLiteral("Label"),
                            RibbonIcon(QStringLiteral("draw-text"), QStringLiteral("label")));
    AddColorButton(overlay, kFillColorButton, QStringLiteral("Fill Color"),
                   RibbonIcon(QStringLiteral("format-fill-color"), QStringLiteral("fill-color")),
                   RGB(255, 255, 255));
    AddColorButton(overlay, kLineColorButton, QStringLiteral("Line Color"),
                   RibbonIcon(QStringLiteral("format-stroke-color"), QStringLiteral("line-color")),
                   RGB(0, 0, 255));
    AddLineWeightGallery(overlay, kLineWeightGallery, QStringLiteral("Line Weight"),
                         RibbonIcon(QStringLiteral("draw-line"), QStringLiteral("line")));
    AddMenuButton(overlay, QStringLiteral("Align"),
                  RibbonIcon(QStringLiteral("align-horizontal-left"), QStringLiteral("align")),
                  {{Cmd::OverlayAlignLeft, QStringLiteral("Align Left")},
                   {Cmd::OverlayAlignRight, QStringLiteral("Align Right")},
                   {Cmd::OverlayAlignTop, QStringLiteral("Align Top")},
                   {Cmd::OverlayAlignBottom, QStringLiteral("Align Bottom")}},
                  false);

    CRibbonPanel *adjust = AddPanel(home, QStringLiteral("Image Adjustment"));
    adjust->AddLargeButton(Command(Cmd::ImageDisplayAdjustment, QStringLiteral("Display Adjustments")),
                           QStringLiteral("Display\nAdjustments"),
                           RibbonIcon(QString(), QStringLiteral("display-adjustment")));
    adjust->AddLargeButton(Command(Cmd::ImageAutoContrast, QStringLiteral("Auto Contrast")),
                           QStringLiteral("Auto\nContrast"),
                           RibbonIcon(QString(), QStringLiteral("auto-contrast")));
    AddMenuButton(adjust, QStringLiteral("Palette"), RibbonIcon(QString(), QStringLiteral("palette")),
                  {{Cmd::ImageNormalPalette, QStringLiteral("Normal")},
                   {Cmd::ImageShowSaturation, QStringLiteral("Saturation")},
                   {Cmd::ImageGreenPalette, QStringLiteral("Shades of Green")},
                   {Cmd::ImageBluePalette, QStringLiteral("Shades of Blue")},
                   {Cmd::ImageRedPalette, QStringLiteral("Shades of Red")}},
                  true);

    CRibbonPanel *process = AddPanel(home, QStringLiteral("Image Processing"));
    AddMenuButton(process, QStringLiteral("Rotate"),
                  RibbonIcon(QStringLiteral("object-rotate-right"), QStringLiteral("rotate")),
                  {{Cmd::ImageRotateLeft90, QStringLiteral("Rotate Left 90 degrees")},
                   {Cmd::ImageRotateRight90, QStringLiteral("Rotate Right 90 degrees")},
                   {Cmd::ImageRotateArbitrary, QStringLiteral("Rotate Arbitrary")},
                   {Cmd::ImageFlipHorizontal, QStringLiteral("Flip Horizontal")},
                   {Cmd::ImageFlipVertical, QStringLiteral("Flip Vertical")}},
                  true);
    process->AddSmallButton(Command(Cmd::ImageInvert, QStringLiteral("Invert")),
                            QStringLiteral("Invert"), RibbonIcon(QString(), QStringLiteral("invert")));
    process->AddSmallButton(Command(Cmd::ImageNoiseReduction, QStringLiteral("Noise reduction")),
                            QStringLiteral("Noise reduction"),
                            RibbonIcon(QString(), QStringLiteral("noise-reduction")));
    process->AddSmallButton(Command(Cmd::ImageCrop, QStringLiteral("Crop")), QStringLiteral("Crop"),
                            RibbonIcon(QStringLiteral("transform-crop"), QStringLiteral("crop")));
    process->AddSmallButton(Command(Cmd::ImageCopyRectangle, QStringLiteral("Copy Rectangle")),
                            QStringLiteral("Copy Rectangle"),
                            RibbonIcon(QString(), QStringLiteral("copy-rectangle")));

    CRibbonPanel *info = AddPanel(home, QStringLiteral("Image Info"));
    info->AddLargeButton(Command(Cmd::ImageInfo, QStringLiteral("Pixel Value")),
                         QStringLiteral("Pixel\nValue"),
                         RibbonIcon(QString(), QStringLiteral("pixel-value")));
    info->AddLargeButton(Command(Cmd::ImageHistory, QStringLiteral("Processing History")),
                         QStringLiteral("Processing\nHistory"),
                         RibbonIcon(QString(), QStringLiteral("history")));
    info->AddLargeButton(Command(kAnalysisData, QStringLiteral("Analysis Results")),
                         QStringLiteral("Analysis\nResults"),
                         RibbonIcon(QString(), QStringLiteral("analysis-results")));

    // The zoom commands have a tab of their own: the home tab is full at the
    // width of a small screen.
    QWidget *view = AddRibbonTab(QStringLiteral("View"));
    CRibbonPanel *zoom = AddPanel(view, QStringLiteral("Zoom"));
    zoom->AddSmallButton(Command(Cmd::ZoomToWindow, QStringLiteral("Fit to Window")),
                         QStringLiteral("Fit to Window"), RibbonIcon(QStringLiteral("zoom-fit-best")));
    zoom->AddSmallButton(Command(Cmd::Zoom100, QStringLiteral("100%")), QStringLiteral("100%"),
                         RibbonIcon(QStringLiteral("zoom-original")));
    zoom->AddSmallButton(Command(Cmd::ZoomIn, QStringLiteral("Zoom In")), QStringLiteral("Zoom In"),
                         RibbonIcon(QStringLiteral("zoom-in")));
    zoom->AddSmallButton(Command(Cmd::ZoomOut, QStringLiteral("Zoom Out")), QStringLiteral("Zoom Out"),
                         RibbonIcon(QStringLiteral("zoom-out")));

    // Menu entries of the weight gallery beyond the seven weights.
    Command(Cmd::OverlayLineWeightDialog, QStringLiteral("More Line Weights..."));
    Command(Cmd::OverlayNoFill, QStringLiteral("No Fill"));
    Command(Cmd::OverlayNoLine, QStringLiteral("No Line"));
}

void CDSRBaseFrame::Add_QAT()
{
    auto *layout = static_cast<QHBoxLayout *>(m_pQat->layout());
    const struct
    {
        int id;
        const char *caption;
        const char *icon;
    } buttons[] = {{kFileSave, "Save", "document-save"},
                   {Cmd::EditUndo, "Undo", "edit-undo"},
                   {Cmd::EditRedo, "Redo", "edit-redo"}};
    int at = 0;
    for (const auto &b : buttons) {
        auto *button = new QToolButton(m_pQat);
        button->setIcon(RibbonIcon(QString::fromLatin1(b.icon)));
        button->setIconSize(QSize(CRibbonPanel::kSmallIcon, CRibbonPanel::kSmallIcon));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        CRibbonPanel::BindButton(button, Command(b.id, QString::fromLatin1(b.caption)),
                                 QString::fromLatin1(b.caption));
        layout->insertWidget(at++, button);
    }
}

// --- colour and weight buttons ------------------------------------------------------

void CDSRBaseFrame::paintColorIcon(ColorButton &state)
{
    const int size = CRibbonPanel::kSmallIcon;
    QPixmap pixmap(size * 2, size * 2); // drawn at twice the size: crisp on high-DPI screens
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.drawPixmap(QRect(0, 0, size * 2, size * 2 - 8), state.baseIcon.pixmap(size * 2));
        const COLORREF color = state.chosen < 0 ? state.automatic : COLORREF(state.chosen);
        p.fillRect(QRect(0, size * 2 - 7, size * 2, 7), toQColor(color));
        p.setPen(QColor(96, 96, 96));
        p.drawRect(QRect(0, size * 2 - 7, size * 2 - 1, 6));
    }
    state.button->setIcon(QIcon(pixmap));
}

QWidget *CDSRBaseFrame::colorGrid(int id, QMenu *menu)
{
    auto *grid = new QWidget(menu);
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    int i = 0;
    for (COLORREF color : kSwatches) {
        auto *swatch = new QToolButton(grid);
        swatch->setFixedSize(22, 22);
        swatch->setAutoRaise(true);
        QPixmap chip(16, 16);
        chip.fill(toQColor(color));
        swatch->setIcon(QIcon(chip));
        swatch->setToolTip(toQColor(color).name());
        connect(swatch, &QToolButton::clicked, this, [this, id, color, menu] {
            menu->close();
            ChooseColor(id, long(color));
            if (QAction *action = m_registry.action(id))
                action->trigger();
        });
        layout->addWidget(swatch, i / kSwatchColumns, i % kSwatchColumns);
        ++i;
    }
    return grid;
}

QToolButton *CDSRBaseFrame::AddColorButton(CRibbonPanel *panel, int id, const QString &caption,
                                           const QIcon &icon, COLORREF automaticColor)
{
    QAction *action = Command(id, caption);
    auto *button = new QToolButton(panel);
    button->setIconSize(QSize(CRibbonPanel::kSmallIcon, CRibbonPanel::kSmallIcon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    // The colour chosen here also goes to the next object drawn: the menu
    // works without a selection.
    CRibbonPanel::BindButton(button, action, caption, false);

    auto *menu = new QMenu(button);
    menu->addAction(QStringLiteral("Automatic"), this, [this, id] {
        ChooseColor(id, -1);
        if (QAction *a = m_registry.action(id))
            a->trigger();
    });
    auto *gridAction = new QWidgetAction(menu);
    gridAction->setDefaultWidget(colorGrid(id, menu));
    menu->addAction(gridAction);
    menu->addAction(QStringLiteral("More Colors..."), this, [this, id, caption] {
        const QColor picked = QColorDialog::getColor(
            toQColor(COLORREF(std::max(0L, GetColorFromColorButton(id)))), this, caption);
        if (!picked.isValid())
            return;
        ChooseColor(id, long(RGB(picked.red(), picked.green(), picked.blue())));
        if (QAction *a = m_registry.action(id))
            a->trigger();
    });
    const int clearId = id == kFillColorButton ? Cmd::OverlayNoFill : Cmd::OverlayNoLine;
    menu->addSeparator();
    menu->addAction(Command(clearId, id == kFillColorButton ? QStringLiteral("No Fill")
                                                            : QStringLiteral("No Line")));
    button->setMenu(menu);

    ColorButton &state = m_colorButtons[id];
    state.button = button;
    state.baseIcon = icon;
    state.automatic = automaticColor;
    state.chosen = -1;
    paintColorIcon(state);
    panel->AddSmallWidget(button);
    return button;
}

QToolButton *CDSRBaseFrame::AddLineWeightGallery(CRibbonPanel *panel, int id,
                                                 const QString &caption, const QIcon &icon)
{
    QAction *action = Command(id, caption);
    auto *button = new QToolButton(panel);
    button->setText(caption);
    button->setIcon(icon);
    button->setIconSize(QSize(CRibbonPanel::kSmallIcon, CRibbonPanel::kSmallIcon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setProperty("commandId", action->data());
    // Like the colours, the weight chosen here also goes to the next object
    // drawn: the gallery stays open without a selection.

    auto *menu = new QMenu(button);
    auto *group = new QActionGroup(menu);
    group->setExclusive(true);
    WeightGallery &gallery = m_weightGalleries[id];
    gallery.button = button;
    for (int weight = 1; weight <= 7; ++weight) {
        QAction *entry = menu->addAction(weightIcon(weight), QStringLiteral("%1 pt").arg(weight));
        entry->setCheckable(true);
        group->addAction(entry);
        gallery.entries.append(entry);
        connect(entry, &QAction::triggered, this, [this, id, weight] {
            ChooseLineWeight(id, weight);
            if (QAction *a = m_registry.action(id))
                a->trigger();
        });
    }
    menu->addSeparator();
    menu->addAction(Command(Cmd::OverlayLineWeightDialog, QStringLiteral("More Line Weights...")));
    button->setMenu(menu);
    panel->AddSmallWidget(button);
    return button;
}

void CDSRBaseFrame::ChooseColor(int id, long color)
{
    auto it = m_colorButtons.find(id);
    if (it == m_colorButtons.end())
        return;
    it->second.chosen = color < 0 ? -1 : long(COLORREF(color) & 0x00FFFFFFu);
    paintColorIcon(it->second);
}

void CDSRBaseFrame::ChooseLineWeight(int id, int weight)
{
    auto it = m_weightGalleries.find(id);
    if (it == m_weightGalleries.end())
        return;
    WeightGallery &gallery = it->second;
    gallery.selected = weight >= 1 && weight <= gallery.entries.size() ? weight - 1 : -1;
    for (int i = 0; i < gallery.entries.size(); ++i)
        gallery.entries[i]->setChecked(i == gallery.selected);
    if (gallery.selected >= 0)
        gallery.button->setIcon(gallery.entries[gallery.selected]->icon());
}

long CDSRBaseFrame::GetColorFromColorButton(int id) const
{
    auto it = m_colorButtons.find(id);
    if (it == m_colorButtons.end())
        return -1;
    return it->second.chosen < 0 ? long(it->second.automatic) : it->second.chosen;
}

int CDSRBaseFrame::GetWeightFromLineWeight(int id) const
{
    auto it = m_weightGalleries.find(id);
    if (it == m_weightGalleries.end() || it->second.selected < 0)
        return -1;
    return it->second.selected + 1;
}

long CDSRBaseFrame::GetLineColor() const
{
    return GetColorFromColorButton(kLineColorButton);
}

int CDSRBaseFrame::GetLineWeight() const
{
    return GetWeightFromLineWeight(kLineWeightGallery);
}

// --- output pane ----------------------------------------------------------------------

COutputWnd *CDSRBaseFrame::CreateOutputWindow()
{
    if (m_pOutputWnd)
        return m_pOutputWnd;
    m_pOutputWnd = new COutputWnd(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_pOutputWnd);
    m_pOutputWnd->hide();
    return m_pOutputWnd;
}

COutputWnd *CDSRBaseFrame::GetOutputWnd() const
{
    return m_pOutputWnd;
}

void CDSRBaseFrame::DestroyOutputWindow()
{
    if (!m_pOutputWnd)
        return;
    removeDockWidget(m_pOutputWnd);
    // Now, not later: the analysis forgets its report and graph right after.
    delete m_pOutputWnd.data();
}
