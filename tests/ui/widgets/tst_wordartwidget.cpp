#include <QtTest>

#include "ui/widgets/wordartwidget.h"

#include "../chart/gaugeprobe.h"

using GaugeProbe::PaintCounter;
using GaugeProbe::render;

namespace
{

const QColor Outline(QStringLiteral("#EB2E50"));

// Colour only: callers pick the pixels by their opacity first.
bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

// Counts the pixels at least half opaque whose colour is close to the given one.
int countNear(const QImage &image, const QColor &colour, int tolerance)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() >= 128 && near(c, colour, tolerance))
                ++count;
        }
    return count;
}

// The lowest row holding a solidly painted pixel, or -1.
int lowestInkedRow(const QImage &image)
{
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() >= 128)
                return y;
    return -1;
}

} // namespace

class TestWordArtWidget : public QObject
{
    Q_OBJECT

private slots:
    void baseline_data();
    void baseline();
    void hollowByDefault();
    void fillColour();
    void outlineColour();
    void onlySetTextRepaints();
    void emptyTextPaintsStyleBackground();
};

void TestWordArtWidget::baseline_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("baseline");

    QTest::newRow("defaultSize") << 80 << 40 << 60;
    QTest::newRow("tallWidget") << 120 << 40 << 100;
    QTest::newRow("smallFont") << 80 << 20 << 70;
}

void TestWordArtWidget::baseline()
{
    QFETCH(int, height);
    QFETCH(int, fontSize);
    QFETCH(int, baseline);

    QCOMPARE(WordArtWidget::baseline(height, fontSize), baseline);

    // Capitals without descenders sit on the baseline; the 2-pixel outline reaches one pixel
    // below it.
    WordArtWidget widget;
    widget.setFontSize(fontSize);
    widget.setText(QStringLiteral("HE"));
    const QImage image = render(widget, QSize(300, height));
    const int lowest = lowestInkedRow(image);
    QVERIFY2(lowest >= baseline - 1 && lowest <= baseline, qPrintable(QString::number(lowest)));
}

void TestWordArtWidget::hollowByDefault()
{
    WordArtWidget widget;
    widget.setText(QStringLiteral("HE"));
    const QImage image = render(widget, QSize(300, 80));

    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            ++inked;
            QVERIFY2(near(c, Outline, 8),
                     qPrintable(QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(c.name())));
        }
    QVERIFY(inked > 100);
    // The stems of a 40-point bold H are far wider than two outlines: inside them is nothing.
    const int bold = countNear(image, Outline, 8);
    WordArtWidget filled;
    filled.setFillColor(QStringLiteral("#EB2E50"));
    filled.setText(QStringLiteral("HE"));
    QVERIFY(countNear(render(filled, QSize(300, 80)), Outline, 8) > bold * 3 / 2);
}

void TestWordArtWidget::fillColour()
{
    WordArtWidget widget;
    widget.setFillColor(QStringLiteral("#00FF00"));
    widget.setText(QStringLiteral("HE"));
    const QImage image = render(widget, QSize(300, 80));
    QVERIFY(countNear(image, QColor(0, 255, 0), 4) > 100);
    QVERIFY(countNear(image, Outline, 8) > 100);
}

void TestWordArtWidget::outlineColour()
{
    WordArtWidget widget;
    widget.setTextColor(QStringLiteral("#0000FF"));
    widget.setText(QStringLiteral("HE"));
    const QImage image = render(widget, QSize(300, 80));
    QVERIFY(countNear(image, QColor(0, 0, 255), 8) > 100);
    QCOMPARE(countNear(image, Outline, 40), 0);
}

void TestWordArtWidget::onlySetTextRepaints()
{
    WordArtWidget widget;
    widget.resize(300, 80);
    widget.setText(QStringLiteral("HE"));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCoreApplication::processEvents();

    PaintCounter counter;
    widget.installEventFilter(&counter);
    widget.setFillColor(QStringLiteral("#00FF00"));
    widget.setTextColor(QStringLiteral("#0000FF"));
    widget.setFontSize(30);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(counter.count, 0);

    // Setting the same text again is how callers show the new colours.
    widget.setText(QStringLiteral("HE"));
    QTRY_VERIFY(counter.count > 0);
}

void TestWordArtWidget::emptyTextPaintsStyleBackground()
{
    const QColor background(16, 32, 48);
    WordArtWidget widget;
    widget.setStyleSheet(QStringLiteral("background-color: #102030;"));
    QImage image = render(widget, QSize(300, 80));
    QCOMPARE(countNear(image, background, 0), 300 * 80);

    widget.setText(QStringLiteral("HE"));
    image = render(widget, QSize(300, 80));
    QVERIFY(countNear(image, background, 0) < 300 * 80);
    QVERIFY(countNear(image, Outline, 8) > 100);
}

QTEST_MAIN(TestWordArtWidget)
#include "tst_wordartwidget.moc"
