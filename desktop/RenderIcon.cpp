// Build tool: renders an SVG icon into PNG files of the sizes the desktop's
// icon themes look for, with Qt's SVG renderer.
//
//   render-icon SOURCE.svg OUTPUT_FOLDER NAME SIZE...
//
// writes OUTPUT_FOLDER/SIZExSIZE/NAME.png for every size (NAME may hold a
// folder: apps/densora).

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    // No display is needed to draw into an image.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: render-icon SOURCE.svg OUTPUT_FOLDER NAME SIZE...\n");
        return 2;
    }
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "render-icon: bad size '%s'\n", qPrintable(args[i]));
            return 2;
        }
        QSvgRenderer renderer(args[1]);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "render-icon: %s: not a valid SVG picture\n", qPrintable(args[1]));
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QDir(args[2]).filePath(QStringLiteral("%1x%1").arg(size));
        const QString target = QDir(folder).filePath(args[3] + QStringLiteral(".png"));
        if (!QDir().mkpath(QFileInfo(target).path()) || !image.save(target, "PNG")) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
