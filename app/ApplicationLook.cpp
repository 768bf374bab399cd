#include "app/ApplicationLook.h"

#include "app/DensoraAppCommandIds.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace {

// A light palette from a window colour, a button colour and a highlight.
QPalette lightPalette(QColor window, QColor button, QColor highlight)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, window.lighter(104));
    p.setColor(QPalette::Text, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Link, highlight.darker(120));
    p.setColor(QPalette::PlaceholderText, QColor(0x70, 0x70, 0x70));
    p.setColor(QPalette::Light, button.lighter(130));
    p.setColor(QPalette::Midlight, button.lighter(112));
    p.setColor(QPalette::Mid, button.darker(125));
    p.setColor(QPalette::Dark, button.darker(160));
    p.setColor(QPalette::Shadow, QColor(0x40, 0x40, 0x40));
    // Disabled text stays readable: a mid grey, not the window colour.
    const QColor disabled(0x80, 0x80, 0x80);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0xa0, 0xa0, 0xa0));
    return p;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x38);
    const QColor text(0xf0, 0xf0, 0xf0);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(0x25, 0x25, 0x27));
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x45, 0x45, 0x48));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x60, 0x60));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x20, 0x20, 0x22));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Link, QColor(0x5a, 0xaa, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Light, QColor(0x5a, 0x5a, 0x5e));
    p.setColor(QPalette::Midlight, QColor(0x4a, 0x4a, 0x4e));
    p.setColor(QPalette::Mid, QColor(0x2a, 0x2a, 0x2c));
    p.setColor(QPalette::Dark, QColor(0x1e, 0x1e, 0x20));
    p.setColor(QPalette::Shadow, Qt::black);
    const QColor disabled(0x90, 0x90, 0x90);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    return p;
}

QPalette standardPalette(const QString &styleKey)
{
    std::unique_ptr<QStyle> style(QStyleFactory::create(styleKey));
    return style ? style->standardPalette() : QPalette();
}

bool isOffice2007(int id)
{
    return id >= AppCmd::AppLookOffice2007Blue && id <= AppCmd::AppLookOffice2007Aqua;
}

} // namespace

bool ApplicationLook::IsKnown(int id)
{
    return (id >= AppCmd::AppLookWin2000 && id <= AppCmd::AppLookVS2008)
        || (id >= AppCmd::AppLookOffice2007Blue && id <= AppCmd::AppLookWindows7);
}

ApplicationLook::Look ApplicationLook::Resolve(int id, int current2007)
{
    const QString fusion = QStringLiteral("Fusion");
    if (!IsKnown(id))
        id = isOffice2007(current2007) ? current2007 : AppCmd::AppLookOffice2007Blue;
    switch (id) {
    case AppCmd::AppLookWin2000:
        return {QStringLiteral("Windows"), standardPalette(QStringLiteral("Windows")), false};
    case AppCmd::AppLookOfficeXP:
        return {fusion, lightPalette(QColor(0xf0, 0xf0, 0xee), QColor(0xe6, 0xe6, 0xe2),
                                     QColor(0x31, 0x6a, 0xc5)),
                false};
    case AppCmd::AppLookWinXP:
        return {fusion, standardPalette(fusion), false};
    case AppCmd::AppLookOffice2003:
        return {fusion, lightPalette(QColor(0xe3, 0xef, 0xff), QColor(0xc4, 0xda, 0xfa),
                                     QColor(0x31, 0x6a, 0xc5)),
                false};
    case AppCmd::AppLookVS2005:
        return {fusion, lightPalette(QColor(0xee, 0xed, 0xe5), QColor(0xe2, 0xe0, 0xd6),
                                     QColor(0x31, 0x6a, 0xc5)),
                false};
    case AppCmd::AppLookVS2008:
        return {fusion, lightPalette(QColor(0xe9, 0xec, 0xf3), QColor(0xdb, 0xe0, 0xea),
                                     QColor(0x33, 0x66, 0x99)),
                false};
    case AppCmd::AppLookOffice2007Blue:
        return {fusion, lightPalette(QColor(0xdf, 0xe9, 0xf5), QColor(0xd0, 0xe0, 0xf3),
                                     QColor(0x2b, 0x5f, 0xb4)),
                false};
    case AppCmd::AppLookOffice2007Black:
        return {fusion, darkPalette(), true};
    case AppCmd::AppLookOffice2007Silver:
        return {fusion, lightPalette(QColor(0xe9, 0xeb, 0xee), QColor(0xdc, 0xdf, 0xe4),
                                     QColor(0x5b, 0x6f, 0x8c)),
                false};
    case AppCmd::AppLookOffice2007Aqua:
        return {fusion, lightPalette(QColor(0xdc, 0xee, 0xf2), QColor(0xc8, 0xe4, 0xec),
                                     QColor(0x1f, 0x7f, 0x9c)),
                false};
    default: // Windows 7
        return {fusion, lightPalette(QColor(0xf5, 0xf6, 0xf7), QColor(0xfb, 0xfb, 0xfb),
                                     QColor(0x33, 0x99, 0xff)),
                false};
    }
}

int ApplicationLook::Apply(int id, int current2007)
{
    const Look look = Resolve(id, current2007);
    if (QStyle *style = QStyleFactory::create(look.style))
        QApplication::setStyle(style); // the application takes it over
    QApplication::setPalette(look.palette);
    // Our icon theme has a variant for dark windows; a desktop's own theme is
    // left as the user chose it.
    const QString theme = QIcon::themeName();
    if (theme == QLatin1String("breeze") || theme == QLatin1String("breeze-dark"))
        QIcon::setThemeName(look.dark ? QStringLiteral("breeze-dark") : QStringLiteral("breeze"));
    if (isOffice2007(id))
        return id;
    return isOffice2007(current2007) ? current2007 : AppCmd::AppLookOffice2007Blue;
}
