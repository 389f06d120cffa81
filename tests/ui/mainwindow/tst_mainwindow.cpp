#include <QApplication>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "common/config/setupconfig.h"
#include "ui/camera/funcwidget1.h"
#include "ui/camera/tablewidget.h"
#include "ui/common/additionalwidget.h"
#include "ui/common/popupmenu.h"
#include "ui/login/logininfo.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/logwidget.h"
#include "ui/mainwindow/mainwindow.h"

namespace {

template <typename T>
T *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget))
            return window;
    }
    return nullptr;
}

QToolButton *stripButton(MainWindow &window, const QString &text)
{
    for (QToolButton *button : window.additionalWidget()->findChildren<QToolButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The running slide of a window, checked against where it goes and how long it takes.
QPointer<QPropertyAnimation> slideOf(QWidget *window, const QPoint &to, int durationMs)
{
    for (auto *animation : window->findChildren<QPropertyAnimation *>()) {
        if (animation->state() == QAbstractAnimation::Running
            && animation->endValue().toRect().topLeft() == to && animation->duration() == durationMs)
            return animation;
    }
    return nullptr;
}

} // namespace

// The user strip of the main window and the windows it slides, driven by the slides' own ends.
class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void popupTogglesDownAndUp();
    void newerDropOutlivesRetract();
    void cardFollowsAvatarHover();
    void loginFormReturnHidesIt();
    void stripOpensWindows_data();
    void stripOpensWindows();

private:
    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};

void tst_MainWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
}

void tst_MainWindow::init()
{
    m_window = new MainWindow;
    m_window->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_MainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void tst_MainWindow::popupTogglesDownAndUp()
{
    auto *popup = topLevel<PopupMenu>();
    QVERIFY(popup);
    const QPoint up = m_window->slideUpPosition();
    const QPoint down = up + QPoint(0, MainWindow::StripHeight);

    QTest::mouseClick(stripButton(*m_window, QStringLiteral("系统")), Qt::LeftButton);
    QPointer<QPropertyAnimation> drop = slideOf(popup, down, MainWindow::PopupDropMs);
    QVERIFY(drop);
    QVERIFY(popup->isVisible());
    QVERIFY(popup->isOpened());
    QTRY_VERIFY(!drop);
    QCOMPARE(popup->pos(), down);

    QTest::mouseClick(stripButton(*m_window, QStringLiteral("系统")), Qt::LeftButton);
    QPointer<QPropertyAnimation> retract = slideOf(popup, up, MainWindow::PopupRetractMs);
    QVERIFY(retract);
    QVERIFY(!popup->isOpened());
    QTRY_VERIFY(!retract);
    QVERIFY(!popup->isVisible());
}

// A retract's end must not hide the popup that a newer click has dropped again.
void tst_MainWindow::newerDropOutlivesRetract()
{
    auto *popup = topLevel<PopupMenu>();
    QToolButton *system = stripButton(*m_window, QStringLiteral("系统"));
    QTest::mouseClick(system, Qt::LeftButton);
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    QTest::mouseClick(system, Qt::LeftButton);
    QPointer<QPropertyAnimation> retract = popup->findChild<QPropertyAnimation *>();
    QTest::mouseClick(system, Qt::LeftButton);
    QPointer<QPropertyAnimation> drop =
        slideOf(popup, m_window->slideDownPosition(), MainWindow::PopupDropMs);
    QVERIFY(drop);
    QTRY_VERIFY(!retract && !drop);
    QVERIFY(popup->isVisible());
    QVERIFY(popup->isOpened());
}

void tst_MainWindow::cardFollowsAvatarHover()
{
    auto *card = topLevel<LoginInfo>();
    QVERIFY(card);
    AdditionalWidget *strip = m_window->additionalWidget();
    const QPoint head = strip->headButtonGeometry().center();
    const QPoint away = m_window->rect().center();
    const QPoint down = m_window->slideDownPosition();

    // Leaving during the drop-down: the card comes down, then goes at once.
    QTest::mouseMove(m_window, away);
    QTest::mouseMove(strip, head);
    QPointer<QPropertyAnimation> drop = slideOf(card, down, MainWindow::CardDropMs);
    QVERIFY(drop);
    QVERIFY(card->isVisible() && card->isShown() && card->isAnimating());
    QTest::mouseMove(m_window, away);
    QTRY_VERIFY(!strip->isHeadUnderMouse());
    QVERIFY(drop);
    QTRY_VERIFY(!drop);
    QVERIFY(!card->isVisible() && !card->isShown() && !card->isAnimating());

    // Staying on the avatar: the card stays down until the pointer leaves.
    QTest::mouseMove(strip, head);
    drop = slideOf(card, down, MainWindow::CardDropMs);
    QVERIFY(drop);
    QTRY_VERIFY(!drop);
    QVERIFY(card->isVisible() && card->isShown());
    QCOMPARE(card->pos(), down);
    QTest::mouseMove(m_window, away);
    QPointer<QPropertyAnimation> retract =
        slideOf(card, m_window->slideUpPosition(), MainWindow::CardRetractMs);
    QVERIFY(retract);
    QTRY_VERIFY(!retract);
    QVERIFY(!card->isVisible() && !card->isShown());
}

// "返回" is the only way out of the form short of logging in.
void tst_MainWindow::loginFormReturnHidesIt()
{
    auto *form = topLevel<LoginWidget>();
    QVERIFY(form);
    QTest::mouseClick(stripButton(*m_window, QStringLiteral("登录")), Qt::LeftButton);
    QVERIFY(form->isVisible());
    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("ReturnButton")), Qt::LeftButton);
    QVERIFY(!form->isVisible());
}

void tst_MainWindow::stripOpensWindows_data()
{
    QTest::addColumn<QString>("popupButton"); // empty: the log button of the strip, twice
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("demoWindow") << "功能1" << FuncWidget1::staticMetaObject.className();
    QTest::newRow("tableWindow") << "功能2" << TableWidget::staticMetaObject.className();
    QTest::newRow("logToggles") << "" << LogWidget::staticMetaObject.className();
}

void tst_MainWindow::stripOpensWindows()
{
    QFETCH(QString, popupButton);
    QFETCH(QString, windowClass);
    QWidget *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        window = w->inherits(qPrintable(windowClass)) ? w : window;
    QVERIFY(window && !window->isVisible());

    if (popupButton.isEmpty()) {
        QTest::mouseClick(stripButton(*m_window, QStringLiteral("日志")), Qt::LeftButton);
        QVERIFY(window->isVisible());
        QTest::mouseClick(stripButton(*m_window, QStringLiteral("日志")), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        return;
    }
    auto *popup = topLevel<PopupMenu>();
    QTest::mouseClick(stripButton(*m_window, QStringLiteral("系统")), Qt::LeftButton);
    for (QPushButton *button : popup->findChildren<QPushButton *>()) {
        if (button->text() == popupButton)
            QTest::mouseClick(button, Qt::LeftButton);
    }
    QVERIFY(window->isVisible());
    QVERIFY(!popup->isVisible() && !popup->isOpened());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
