#include <QLabel>
#include <QSignalSpy>
#include <QVariantAnimation>
#include <QtTest>

#include "ui/mainwindow/cstackedwidget.h"

namespace {

constexpr int Pages = 17;
constexpr int Height = 100;

QColor pageColor(int index)
{
    return QColor::fromHsv(index * 360 / Pages, 200, 200);
}

// A stack of plain coloured pages.
void fill(CStackedWidget *stack)
{
    for (int i = 0; i < Pages; ++i) {
        auto *page = new QWidget;
        page->setAutoFillBackground(true);
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, pageColor(i));
        page->setPalette(palette);
        stack->addWidget(page);
    }
}

QVariantAnimation *slideOf(CStackedWidget *stack)
{
    return stack->findChild<QVariantAnimation *>();
}

} // namespace

class tst_CStackedWidget : public QObject
{
    Q_OBJECT

private slots:
    void slide_data();
    void slide();
    void ignoredIndex_data();
    void ignoredIndex();
    void insertKeepsCurrentPage();
    void widerStackHidesParkedPage();
    void pagesPolishedWhenStackShows();
};

void tst_CStackedWidget::slide_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("stopAt");   // ms into the first slide; -1 lets it end
    QTest::addColumn<int>("second");   // -1: no second slide
    QTest::addColumn<int>("resizeTo"); // 0: no resize
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("duration");

    QTest::newRow("forward") << 1000 << 16 << -1 << -1 << 0 << 1000 << 500;
    QTest::newRow("backward") << 1000 << 16 << -1 << 3 << 0 << -1000 << 500;
    QTest::newRow("interruptedBackward") << 1000 << 16 << 300 << 3 << 0 << -600 << 300;
    QTest::newRow("interruptedForward") << 1000 << 5 << 300 << 16 << 0 << 600 << 300;
    QTest::newRow("resizedWhileSliding") << 1000 << 16 << 300 << -1 << 800 << 400 << 250;
    QTest::newRow("narrowerThanOffset") << 1000 << 16 << 100 << -1 << 500 << 0 << 0;
    QTest::newRow("zeroWidth") << 0 << 16 << -1 << -1 << 0 << 0 << 0;
}

void tst_CStackedWidget::slide()
{
    QFETCH(int, width);
    QFETCH(int, first);
    QFETCH(int, stopAt);
    QFETCH(int, second);
    QFETCH(int, resizeTo);
    QFETCH(int, start);
    QFETCH(int, duration);

    // Resize events reach a widget on screen only; a window cannot be 0 pixels wide, a child can.
    QWidget host;
    host.resize(1000, Height);
    auto &stack = *new CStackedWidget(&host);
    fill(&stack);
    stack.resize(width, Height);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QVariantAnimation *animation = slideOf(&stack);
    QVERIFY(animation);

    stack.setCurrentIndex(first);
    animation->setCurrentTime(stopAt < 0 ? animation->duration() : stopAt);
    int last = 0;
    if (second >= 0) {
        last = first;
        stack.setCurrentIndex(second);
    } else {
        second = first;
    }
    if (resizeTo > 0) {
        stack.resize(resizeTo, Height);
        width = resizeTo;
    }
    QCOMPARE(animation->startValue().toInt(), start);
    QCOMPARE(animation->endValue().toInt(), 0);
    QCOMPARE(animation->duration(), duration);

    // Run to the end: the new page in place, the old one parked outside on its side.
    if (animation->state() == QAbstractAnimation::Running)
        animation->setCurrentTime(duration);
    QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
    QCOMPARE(stack.currentIndex(), second);
    QCOMPARE(stack.widget(second)->pos(), QPoint(0, 0));
    QCOMPARE(stack.widget(last)->pos(), QPoint(last < second ? -width : width, 0));
    for (int i = 0; i < Pages; ++i)
        QCOMPARE(stack.widget(i)->isVisibleTo(&stack), i == last || i == second);
    // The value generator belongs to the stack and writes nothing onto it.
    QCOMPARE(stack.findChildren<QAbstractAnimation *>().size(), 1);
    QVERIFY(stack.dynamicPropertyNames().isEmpty());
}

void tst_CStackedWidget::ignoredIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("current") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("beyondLast") << Pages;
}

void tst_CStackedWidget::ignoredIndex()
{
    QFETCH(int, index);
    CStackedWidget stack;
    fill(&stack);
    stack.resize(1000, Height);
    QSignalSpy changed(&stack, &CStackedWidget::currentChanged);
    stack.setCurrentIndex(index);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(stack.currentIndex(), 0);
    QCOMPARE(slideOf(&stack)->state(), QAbstractAnimation::Stopped);
}

void tst_CStackedWidget::insertKeepsCurrentPage()
{
    CStackedWidget stack;
    fill(&stack);
    stack.resize(1000, Height);
    stack.setCurrentIndex(4);
    QWidget *current = stack.currentWidget();
    QCOMPARE(stack.insertWidget(4, new QWidget), 4);
    QCOMPARE(stack.insertWidget(0, new QWidget), 0);
    QCOMPARE(stack.currentWidget(), current);
    QCOMPARE(stack.currentIndex(), 6);
    QCOMPARE(stack.addWidget(current), 6);
    QCOMPARE(stack.count(), Pages + 2);
}

// A page parked at +width after a backward slide must not show when the stack grows.
void tst_CStackedWidget::widerStackHidesParkedPage()
{
    CStackedWidget stack;
    fill(&stack);
    stack.resize(200, Height);
    stack.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stack));
    stack.setCurrentIndex(5);
    slideOf(&stack)->setCurrentTime(CStackedWidget::DefaultDuration);
    stack.setCurrentIndex(1);
    slideOf(&stack)->setCurrentTime(CStackedWidget::DefaultDuration);
    stack.resize(400, Height);
    const QImage image = stack.grab().toImage();
    QCOMPARE(image.pixel(300, 50), pageColor(1).rgb());
}

// Pages built into a stack that is not shown yet wait for it to be polished (the main window's
// sixteen camera pages were otherwise polished twice at start-up, before and after the theme).
void tst_CStackedWidget::pagesPolishedWhenStackShows()
{
    CStackedWidget stack;
    auto *page = new QWidget;
    auto *child = new QLabel(QStringLiteral("C01"), page);
    stack.addWidget(page);
    stack.addWidget(new QWidget);
    stack.setCurrentIndex(1);
    QVERIFY(!child->testAttribute(Qt::WA_WState_Polished));
    stack.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stack));
    QVERIFY(page->isVisible() && child->isVisible());
    QVERIFY(stack.widget(1)->isVisible());
}

QTEST_MAIN(tst_CStackedWidget)
#include "tst_cstackedwidget.moc"
