#include <QSignalSpy>
#include <QVariantAnimation>
#include <QtTest>

#include "ui/widgets/cstackedwidget.h"

namespace
{

constexpr int Pages = 17;
constexpr int Height = 100;

void fill(CStackedWidget *stack)
{
    for (int i = 0; i < Pages; ++i)
        stack->addWidget(new QWidget);
}

QVariantAnimation *slideOf(CStackedWidget *stack)
{
    return stack->findChild<QVariantAnimation *>();
}

QWidget *colouredPage(const QColor &colour)
{
    auto *page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, colour);
    page->setPalette(palette);
    return page;
}

} // namespace

class tst_CStackedWidget : public QObject
{
    Q_OBJECT

private slots:
    void slide_data();
    void slide();
    void ignoredIndex();
    void insertKeepsCurrentPage();
    void widerStackHidesParkedPage();
    void pagesPolishedWhenStackShows();
    void lazyPagesBuiltWhenNeeded_data();
    void lazyPagesBuiltWhenNeeded();
    void lazyPageShowsOnlyWhenCurrent_data();
    void lazyPageShowsOnlyWhenCurrent();
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

    stack.setCurrentIndex(first);
    animation->setCurrentTime(stopAt < 0 ? animation->duration() : stopAt);
    const int last = second >= 0 ? first : 0;
    stack.setCurrentIndex(second = second >= 0 ? second : first);
    if (resizeTo > 0)
        stack.resize(width = resizeTo, Height);
    QCOMPARE(animation->startValue().toInt(), start);
    QCOMPARE(animation->duration(), duration);

    // Run to the end: the new page in place, the old one parked outside on its side.
    animation->setCurrentTime(duration);
    QCOMPARE(stack.widget(second)->pos(), QPoint(0, 0));
    QCOMPARE(stack.widget(last)->pos(), QPoint(last < second ? -width : width, 0));
    for (int i = 0; i < Pages; ++i)
        QCOMPARE(stack.widget(i)->isVisibleTo(&stack), i == last || i == second);
    // The value generator belongs to the stack and writes nothing onto it.
    QCOMPARE(stack.findChildren<QAbstractAnimation *>().size(), 1);
    QVERIFY(stack.dynamicPropertyNames().isEmpty());
}

void tst_CStackedWidget::ignoredIndex()
{
    CStackedWidget stack;
    fill(&stack);
    QSignalSpy changed(&stack, &CStackedWidget::currentChanged);
    for (int index : {0, -1, Pages})
        stack.setCurrentIndex(index);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(slideOf(&stack)->state(), QAbstractAnimation::Stopped);
}

void tst_CStackedWidget::insertKeepsCurrentPage()
{
    CStackedWidget stack;
    fill(&stack);
    stack.setCurrentIndex(4);
    QWidget *current = stack.currentWidget();
    QCOMPARE(stack.insertWidget(4, new QWidget), 4);
    QCOMPARE(stack.insertWidget(0, new QWidget), 0);
    QCOMPARE(stack.currentWidget(), current);
    QCOMPARE(stack.currentIndex(), 6);
}

// A page parked at +width after a backward slide must not show when the stack grows.
void tst_CStackedWidget::widerStackHidesParkedPage()
{
    CStackedWidget stack;
    fill(&stack);
    stack.resize(200, Height);
    stack.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stack));
    for (int index : {5, 1}) {
        stack.setCurrentIndex(index);
        slideOf(&stack)->setCurrentTime(CStackedWidget::DefaultDuration);
    }
    stack.resize(400, Height);
    QCOMPARE(stack.widget(5)->pos(), QPoint(400, 0));
}

// Pages built into a stack that is not shown yet wait for it to be polished (the main window's
// sixteen camera pages were otherwise polished twice at start-up, before and after the theme).
void tst_CStackedWidget::pagesPolishedWhenStackShows()
{
    CStackedWidget stack;
    auto *page = new QWidget;
    auto *child = new QWidget(page);
    stack.addWidget(page);
    stack.addWidget(new QWidget);
    stack.setCurrentIndex(1);
    QVERIFY(!child->testAttribute(Qt::WA_WState_Polished));
    stack.show();
    QVERIFY(child->isVisible() && stack.widget(1)->isVisible());
}

void tst_CStackedWidget::lazyPagesBuiltWhenNeeded_data()
{
    QTest::addColumn<int>("slideTo");   // -1: no page change
    QTest::addColumn<int>("askFor");    // -1: no page asked for
    QTest::addColumn<int>("buildNext"); // calls of buildNextPage()
    QTest::addColumn<QList<int>>("built");

    // The current page shows with the stack.
    QTest::newRow("nothingAsked") << -1 << -1 << 0 << QList<int>{0};
    QTest::newRow("slidIn") << 3 << -1 << 0 << QList<int>{0, 3};
    QTest::newRow("askedFor") << -1 << 2 << 0 << QList<int>{0, 2};
    QTest::newRow("ignoredIndex") << Pages << Pages << 0 << QList<int>{0};
    QTest::newRow("nextInOrder") << -1 << -1 << 2 << QList<int>{0, 1, 2};
    QTest::newRow("nextSkipsBuilt") << 1 << -1 << 1 << QList<int>{0, 1, 2};
}

void tst_CStackedWidget::lazyPagesBuiltWhenNeeded()
{
    QFETCH(int, slideTo);
    QFETCH(int, askFor);
    QFETCH(int, buildNext);
    QFETCH(QList<int>, built);

    CStackedWidget stack;
    QSignalSpy builtSpy(&stack, &CStackedWidget::widgetBuilt);
    QVector<int> calls(Pages, 0);
    for (int i = 0; i < Pages; ++i) {
        stack.addLazyWidget([&calls, i] {
            ++calls[i];
            return new QWidget;
        });
    }
    QCOMPARE(stack.count(), Pages);
    if (slideTo >= 0)
        stack.setCurrentIndex(slideTo);
    if (askFor >= 0)
        QCOMPARE(stack.widget(askFor) != nullptr, askFor < Pages);
    for (int k = 0; k < buildNext; ++k)
        QVERIFY(stack.buildNextPage());

    QList<int> emitted;
    for (const QList<QVariant> &arguments : qAsConst(builtSpy))
        emitted << arguments.at(0).toInt();
    std::sort(emitted.begin(), emitted.end());
    QCOMPARE(emitted, built);
    for (int i = 0; i < Pages; ++i) {
        QCOMPARE(stack.isBuilt(i), built.contains(i));
        QCOMPARE(calls.at(i), built.contains(i) ? 1 : 0);
    }
    // Asking again builds nothing twice, and the last call finds nothing left.
    while (stack.buildNextPage()) {
    }
    QCOMPARE(builtSpy.count(), Pages);
    QCOMPARE(std::count(calls.begin(), calls.end(), 1), Pages);
    QCOMPARE(stack.indexOf(stack.widget(Pages - 1)), Pages - 1);
}

void tst_CStackedWidget::lazyPageShowsOnlyWhenCurrent_data()
{
    QTest::addColumn<bool>("beforeShow"); // built before the stack is first shown
    QTest::addColumn<bool>("slideIn");    // made the current page; otherwise built in passing
    QTest::addColumn<QColor>("centre");

    // A page built in passing, after the current one, would lie on top of it if it showed.
    QTest::newRow("inPassingBeforeShow") << true << false << QColor(Qt::green);
    QTest::newRow("inPassingOnScreen") << false << false << QColor(Qt::green);
    QTest::newRow("slidInOnScreen") << false << true << QColor(Qt::red);
}

void tst_CStackedWidget::lazyPageShowsOnlyWhenCurrent()
{
    QFETCH(bool, beforeShow);
    QFETCH(bool, slideIn);
    QFETCH(QColor, centre);

    CStackedWidget stack;
    stack.resize(200, Height);
    stack.addWidget(colouredPage(Qt::green));
    stack.addLazyWidget([] { return colouredPage(Qt::red); });
    auto build = [&stack, slideIn] {
        if (slideIn) {
            stack.setCurrentIndex(1);
            slideOf(&stack)->setCurrentTime(CStackedWidget::DefaultDuration);
        } else {
            QVERIFY(stack.buildNextPage());
        }
    };
    if (beforeShow)
        build();
    stack.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stack));
    if (!beforeShow)
        build();

    QCOMPARE(stack.widget(1)->isVisible(), slideIn);
    QCOMPARE(stack.widget(1)->geometry(), stack.rect());
    const QImage frame = stack.grab().toImage();
    QCOMPARE(frame.pixelColor(frame.rect().center()), centre);
}

QTEST_MAIN(tst_CStackedWidget)
#include "tst_cstackedwidget.moc"
