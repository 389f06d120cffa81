#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "ui/common/additionalwidget.h"

class tst_AdditionalWidget : public QObject
{
    Q_OBJECT

private slots:
    void buttonsFitTheStrip();
    void avatarHoverEntersAndLeavesOnce();
};

// In the title bar the strip is 200 x 50: three 50 px buttons and the 36 px avatar must fit
// whole, not cut off by layout margins.
void tst_AdditionalWidget::buttonsFitTheStrip()
{
    AdditionalWidget strip;
    strip.setFixedSize(200, 50);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    const QList<QAbstractButton *> buttons = strip.findChildren<QAbstractButton *>();
    QCOMPARE(buttons.size(), 4);
    for (QAbstractButton *button : buttons) {
        QVERIFY2(strip.rect().contains(button->geometry()), qPrintable(button->text()));
        QVERIFY(!button->visibleRegion().isEmpty());
        QCOMPARE(button->visibleRegion().boundingRect(), button->rect());
    }
}

void tst_AdditionalWidget::avatarHoverEntersAndLeavesOnce()
{
    AdditionalWidget strip;
    strip.setFixedSize(200, 50);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QSignalSpy entered(&strip, &AdditionalWidget::enterHead);
    QSignalSpy left(&strip, &AdditionalWidget::leaveHead);
    const QRect head = strip.headButtonGeometry();

    QTest::mouseMove(&strip, QPoint(10, 10));
    QTest::mouseMove(&strip, head.center());
    QTRY_VERIFY(strip.isHeadUnderMouse());
    QTest::mouseMove(&strip, head.center() + QPoint(3, 3));
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 0);
    QTest::mouseMove(&strip, QPoint(10, 10));
    QTRY_VERIFY(!strip.isHeadUnderMouse());
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
}

QTEST_MAIN(tst_AdditionalWidget)
#include "tst_additionalwidget.moc"
