#pragma once

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include "windowdrag.h"

class QAction;
class QBoxLayout;
class QHBoxLayout;
class QToolButton;
class FancyTitleBar;

// The bar across the top of a frameless window or dialog. From left to right: the logo button
// showing the window icon, the additional controls in call order, then the title bar with the
// caption and the window buttons; a middle slot holds one widget centred in the bar. Pressing an
// empty part of the bar (or a label on it) and dragging moves the window; a double click
// maximises and restores it. The bar follows the title, icon and state of the window it sits in.
class FancyBar : public QWidget
{
    Q_OBJECT

public:
    // Where an additional control goes. There is one row: the controls follow the logo.
    enum AdditionalControlPosition { LeadingPosition = 0 };
    Q_ENUM(AdditionalControlPosition)

    static constexpr int LogoPadding = 2;
    // Icon of a button made for an action: with its text under it, it fits a 50 px bar.
    static constexpr int ActionIconSide = 24;
    static constexpr QSize DefaultLogoIconSize = QSize(20, 20);

    // The bar serves the window of its parent.
    explicit FancyBar(QWidget *parent = nullptr);

    FancyTitleBar *titleBar() const;

    void setTitleBarHeight(int height);
    int titleBarHeight() const;

    void setLogoButtonIconSize(const QSize &size);
    QSize logoButtonIconSize() const;

    // A tool button for the action (its menu pops up at once when it has one), or the widget
    // itself, reparented to the bar.
    void addAdditionalControl(QAction *action,
                              AdditionalControlPosition position = LeadingPosition);
    void addAdditionalControl(QWidget *widget,
                              AdditionalControlPosition position = LeadingPosition);

    // The widget replaces any earlier middle widget, which is hidden but stays owned by the bar.
    void setWidgetInMiddle(QWidget *widget);
    QWidget *widgetInMiddle() const;

    // Room for everything on the bar, the middle widget included, side by side.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(FancyBar)

    void trackWindow();
    void applyLogoIconSize();
    void placeMiddleArea();

    QPointer<QWidget> m_window;
    QHBoxLayout *m_layout;
    QToolButton *m_logoButton;
    QWidget *m_additionalArea;
    QBoxLayout *m_additionalLayout;
    QWidget *m_middleArea;
    QPointer<QWidget> m_middleWidget;
    FancyTitleBar *m_titleBar;
    QSize m_logoIconSize = DefaultLogoIconSize;

    bool m_pressed = false;
    QPoint m_pressPos;
    WindowDrag m_drag;
};
