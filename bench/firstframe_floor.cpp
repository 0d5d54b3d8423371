// The floor of the start-up benchmark: an empty 800x450 Qt window that reports its first frame
// the way the program does (MIREVO_BENCH_T0) and quits.

#include "app/firstframereport.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.resize(800, 450);
    reportFirstFrame(&window);
    window.show();
    // The report is posted after the first paint; quit after it.
    QTimer::singleShot(0, &window, [] {
        QTimer::singleShot(200, qApp, &QCoreApplication::quit);
    });
    return app.exec();
}
