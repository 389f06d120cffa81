// Paint cost of the two round gauges: the time to paint one frame into an image with the
// software rasteriser, against a plain blit of a translucent picture of the same size into the
// same image in the same run; and the CPU share of a gauge animating on its 10 ms tick, against
// a bare widget of the same size repainted on the same tick (what any widget shown at 100 frames
// a second costs the process: events, the backing store, the X server round trips).

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <vector>

#include "benchsupport.h"
#include "ui/chart/average/averagechart.h"
#include "ui/chart/instant/instantchart.h"

using BenchSupport::median;

namespace
{

constexpr int WarmUpFrames = 20;
constexpr int AnimationRuns = 3;
constexpr int AnimationMillis = 3000;
constexpr int AnimatedSide = 200;

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Median milliseconds to paint one frame of the gauge at side x side.
template <typename Gauge>
double paintMillis(int side, int frames)
{
    Gauge gauge;
    gauge.resize(side, side);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    times.reserve(frames);
    for (int i = 0; i < WarmUpFrames + frames; ++i) {
        // A different value every frame, as while animating.
        gauge.setValue(1.0 + (i * 7) % 2998);
        image.fill(Qt::transparent);
        QElapsedTimer timer;
        timer.start();
        gauge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const double elapsed = timer.nsecsElapsed() / 1e6;
        if (i >= WarmUpFrames)
            times.push_back(elapsed);
    }
    return median(times);
}

// Median milliseconds to draw a translucent side x side picture into the same kind of image,
// every pixel blended as a finished frame of a gauge over its parent would be: the baseline of
// the frames.
double blitMillis(int side, int frames)
{
    QPixmap picture(side, side);
    picture.fill(QColor(60, 60, 60, 128));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    times.reserve(frames);
    for (int i = 0; i < WarmUpFrames + frames; ++i) {
        image.fill(Qt::transparent);
        QElapsedTimer timer;
        timer.start();
        {
            QPainter painter(&image);
            painter.drawPixmap(0, 0, picture);
        }
        const double elapsed = timer.nsecsElapsed() / 1e6;
        if (i >= WarmUpFrames)
            times.push_back(elapsed);
    }
    return median(times);
}

struct AnimationFigures {
    double cpuPercent;
    double framesPerSecond;
};

// Shows the widget, starts it and measures the process's CPU share and the widget's paint rate
// over a few seconds; the median of several runs.
template <typename Widget, typename Start>
AnimationFigures measureShown(Start start)
{
    std::vector<double> cpu;
    std::vector<double> fps;
    for (int run = 0; run < AnimationRuns; ++run) {
        Widget widget;
        widget.resize(AnimatedSide, AnimatedSide);
        widget.show();
        QCoreApplication::processEvents();

        PaintCounter counter;
        widget.installEventFilter(&counter);
        QEventLoop loop;
        QTimer::singleShot(AnimationMillis, &loop, &QEventLoop::quit);
        QElapsedTimer wall;
        const double cpuBefore = processCpuSeconds();
        wall.start();
        start(widget);
        loop.exec();
        const double wallSeconds = wall.nsecsElapsed() / 1e9;
        const double cpuSeconds = processCpuSeconds() - cpuBefore;
        cpu.push_back(100.0 * cpuSeconds / wallSeconds);
        fps.push_back(counter.count / wallSeconds);
    }
    return {median(cpu), median(fps)};
}

// The gauge walks a long sweep on its own timer.
template <typename Gauge>
AnimationFigures animate(double step)
{
    return measureShown<Gauge>([step](Gauge &gauge) {
        gauge.setAnimationStep(step);
        gauge.setAnimation(true);
        gauge.setValue(2999.0);
    });
}

// A plain widget asked to repaint on a timer of the gauges' interval.
AnimationFigures bareRepaint()
{
    QTimer timer;
    timer.setInterval(AverageChart::AnimationInterval);
    return measureShown<QWidget>([&timer](QWidget &widget) {
        QObject::disconnect(&timer, nullptr, nullptr, nullptr);
        QObject::connect(&timer, &QTimer::timeout, &widget, [&widget] { widget.update(); });
        timer.start();
    });
}

double idleCpuPercent()
{
    AverageChart gauge;
    gauge.resize(200, 200);
    gauge.show();
    QCoreApplication::processEvents();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    loop.exec();
    return 100.0 * (processCpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));

    const struct {
        int side;
        int frames;
    } sizes[] = {{200, 1000}, {600, 300}};
    for (const auto &size : sizes) {
        const double blit = blitMillis(size.side, size.frames);
        std::printf("plain blit %dx%d: median %.3f ms over %d frames\n", size.side, size.side, blit,
                    size.frames);
        const double average = paintMillis<AverageChart>(size.side, size.frames);
        std::printf("AverageChart paint %dx%d: median %.3f ms per frame over %d frames (%.1f x "
                    "blit)\n",
                    size.side, size.side, average, size.frames, average / blit);
        const double instant = paintMillis<InstantChart>(size.side, size.frames);
        std::printf("InstantChart paint %dx%d: median %.3f ms per frame over %d frames (%.1f x "
                    "blit)\n",
                    size.side, size.side, instant, size.frames, instant / blit);
    }

    std::printf("idle shown gauge: CPU %.1f %% of one core\n", idleCpuPercent());
    const AnimationFigures bare = bareRepaint();
    std::printf("bare widget repainted at %dx%d on a %d ms tick: CPU %.1f %% of one core, %.0f "
                "frames/s (median of %d runs of %d ms)\n",
                AnimatedSide, AnimatedSide, AverageChart::AnimationInterval, bare.cpuPercent,
                bare.framesPerSecond, AnimationRuns, AnimationMillis);
    const AnimationFigures average = animate<AverageChart>(0.5);
    std::printf("AverageChart animating at %dx%d on its %d ms tick: CPU %.1f %% of one core "
                "(%.1f over the bare widget), %.0f frames/s\n",
                AnimatedSide, AnimatedSide, AverageChart::AnimationInterval, average.cpuPercent,
                average.cpuPercent - bare.cpuPercent, average.framesPerSecond);
    const AnimationFigures instant = animate<InstantChart>(1.0);
    std::printf("InstantChart animating at %dx%d on its %d ms tick: CPU %.1f %% of one core "
                "(%.1f over the bare widget), %.0f frames/s\n",
                AnimatedSide, AnimatedSide, InstantChart::AnimationInterval, instant.cpuPercent,
                instant.cpuPercent - bare.cpuPercent, instant.framesPerSecond);
    return 0;
}
