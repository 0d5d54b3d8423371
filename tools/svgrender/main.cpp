// Renders an SVG picture to a PNG with alpha at a given pixel size. Used by the build to turn
// the picture sources in resources/svg into the PNG resources compiled into the program.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    // The renderer needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: mrv_svgrender SOURCE.svg OUTPUT.png WIDTH HEIGHT\n");
        return 2;
    }
    bool okWidth = false;
    bool okHeight = false;
    const int width = args.at(3).toInt(&okWidth);
    const int height = args.at(4).toInt(&okHeight);
    if (!okWidth || !okHeight || width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "mrv_svgrender: bad size %s x %s\n", qPrintable(args.at(3)), qPrintable(args.at(4)));
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "mrv_svgrender: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    if (!image.convertToFormat(QImage::Format_ARGB32).save(args.at(2), "PNG")) {
        std::fprintf(stderr, "mrv_svgrender: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
