// Saves a picture of the whole screen (or of one window, given its id) as PNG, for the
// desktop tests and for looking at the program: mrv_screenshot OUTPUT.png [WINDOW_ID]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: mrv_screenshot OUTPUT.png [WINDOW_ID]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "mrv_screenshot: no screen\n");
        return 1;
    }
    bool ok = true;
    const WId window = args.size() == 3 ? WId(args.at(2).toULongLong(&ok, 0)) : WId(0);
    if (!ok) {
        std::fprintf(stderr, "mrv_screenshot: bad window id %s\n", qPrintable(args.at(2)));
        return 2;
    }
    const QPixmap picture = screen->grabWindow(window);
    if (picture.isNull() || !picture.save(args.at(1), "PNG")) {
        std::fprintf(stderr, "mrv_screenshot: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
