// Writes NG moments into a store as fast as it takes them, printing the number kept after each,
// until it is killed.
//   helper_momentburst <folder>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <cstdio>

#include "moments/momentstore.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 2)
        return 2;
    MomentStore store(app.arguments().at(1), MomentSettings());
    QImage picture(640, 360, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    }
    int kept = 0;
    QObject::connect(&store, &MomentStore::kept, [&kept] {
        std::printf("%d\n", ++kept);
        std::fflush(stdout);
    });
    int camera = 0;
    QTimer burst;
    QObject::connect(&burst, &QTimer::timeout, [&] {
        Moment m;
        m.timeMs = QDateTime::currentMSecsSinceEpoch();
        m.camera = camera++ % 16 + 1;
        m.reason = QStringLiteral("burst");
        m.stream = Moment::MainStream;
        m.picture = picture;
        store.submit(m);
    });
    burst.start(1);
    return app.exec();
}
