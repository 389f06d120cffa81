#include "fancybar.h"

#include <QAction>
#include <QDebug>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include "fancytitlebar.h"

namespace
{

// Keeps a backdrop widget over the span of the additional controls, so that style sheets can
// give the area its own look while the controls stay direct children of the bar.
class BackdropLayout : public QHBoxLayout
{
public:
    explicit BackdropLayout(QWidget *backdrop) : m_backdrop(backdrop) {}

    void setGeometry(const QRect &rect) override
    {
        QHBoxLayout::setGeometry(rect);
        m_backdrop->setGeometry(rect);
        m_backdrop->setVisible(count() > 0);
    }

private:
    QWidget *m_backdrop;
};

} // namespace

FancyBar::FancyBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FancyBar"));

    m_additionalArea = new QWidget(this);
    m_additionalArea->setObjectName(QStringLiteral("FancyBarAdditionalArea"));
    m_additionalArea->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_additionalArea->hide();

    m_logoButton = new QToolButton(this);
    m_logoButton->setObjectName(QStringLiteral("FancyBarLogoButton"));
    m_logoButton->setAutoRaise(true);
    m_logoButton->setFocusPolicy(Qt::NoFocus);
    // The logo does nothing of its own: pressing it drags the window like the rest of the bar.
    m_logoButton->setAttribute(Qt::WA_TransparentForMouseEvents);
    applyLogoIconSize();

    m_titleBar = new FancyTitleBar(this);
    m_titleBar->installEventFilter(this);

    m_additionalLayout = new BackdropLayout(m_additionalArea);
    m_additionalLayout->setContentsMargins(0, 0, 0, 0);
    m_additionalLayout->setSpacing(0);

    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_logoButton, 0, Qt::AlignVCenter);
    m_layout->addLayout(m_additionalLayout);
    m_layout->addWidget(m_titleBar, 1, Qt::AlignTop);

    m_middleArea = new QWidget(this);
    m_middleArea->setObjectName(QStringLiteral("FancyBarMiddleArea"));
    auto *middleLayout = new QHBoxLayout(m_middleArea);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    m_middleArea->installEventFilter(this);
    m_middleArea->hide();

    trackWindow();
}

FancyTitleBar *FancyBar::titleBar() const
{
    return m_titleBar;
}

void FancyBar::setTitleBarHeight(int height)
{
    m_titleBar->setTitleBarHeight(height);
}

int FancyBar::titleBarHeight() const
{
    return m_titleBar->titleBarHeight();
}

void FancyBar::setLogoButtonIconSize(const QSize &size)
{
    const QSize valid = size.expandedTo(QSize(0, 0));
    if (valid == m_logoIconSize)
        return;
    m_logoIconSize = valid;
    applyLogoIconSize();
}

void FancyBar::applyLogoIconSize()
{
    m_logoButton->setIconSize(m_logoIconSize);
    m_logoButton->setFixedSize(m_logoIconSize + QSize(2 * LogoPadding, 2 * LogoPadding));
}

QSize FancyBar::logoButtonIconSize() const
{
    return m_logoIconSize;
}

void FancyBar::addAdditionalControl(QAction *action, AdditionalControlPosition position)
{
    if (!action) {
        qWarning() << "FancyBar: no action to add";
        return;
    }
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("FancyBarAdditionalButton"));
    button->setDefaultAction(action);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(ActionIconSide, ActionIconSide));
    button->setAutoRaise(true);
    // Reached by Tab, where Space opens its menu; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    addAdditionalControl(button, position);
}

void FancyBar::addAdditionalControl(QWidget *widget, AdditionalControlPosition position)
{
    if (!widget) {
        qWarning() << "FancyBar: no widget to add";
        return;
    }
    if (position != LeadingPosition)
        qWarning() << "FancyBar: unknown control position" << int(position)
                   << "- placed after the logo";
    m_additionalLayout->addWidget(widget);
}

void FancyBar::setWidgetInMiddle(QWidget *widget)
{
    if (widget == m_middleWidget)
        return;
    QLayout *layout = m_middleArea->layout();
    if (m_middleWidget) {
        layout->removeWidget(m_middleWidget);
        m_middleWidget->hide();
    }
    m_middleWidget = widget;
    if (widget) {
        layout->addWidget(widget);
        widget->show();
    }
    placeMiddleArea();
}

QWidget *FancyBar::widgetInMiddle() const
{
    return m_middleWidget;
}

// The middle widget lies outside the layout, between the controls on the left and the window
// buttons on the right: the bar needs its width beside theirs.
QSize FancyBar::minimumSizeHint() const
{
    QSize hint = QWidget::minimumSizeHint();
    if (m_middleWidget && !m_middleWidget->isHidden())
        hint.rwidth() +=
            m_middleArea->sizeHint().expandedTo(m_middleArea->minimumSizeHint()).width();
    return hint;
}

// The bar follows the window it sits in; a new parent may mean a new window.
void FancyBar::trackWindow()
{
    QWidget *w = window();
    if (w == this)
        w = nullptr;
    if (w == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = w;
    if (!w)
        return;
    w->installEventFilter(this);
    m_titleBar->setTitle(w->windowTitle());
    m_titleBar->setMaximized(w->isMaximized());
    m_logoButton->setIcon(w->windowIcon());
}

bool FancyBar::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        trackWindow();
        break;
    case QEvent::LayoutRequest:
        placeMiddleArea();
        break;
    default:
        break;
    }
    return result;
}

bool FancyBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::WindowTitleChange:
            m_titleBar->setTitle(m_window->windowTitle());
            break;
        case QEvent::WindowIconChange:
            m_logoButton->setIcon(m_window->windowIcon());
            break;
        case QEvent::WindowStateChange:
            m_titleBar->setMaximized(m_window->isMaximized());
            break;
        default:
            break;
        }
    } else if (watched == m_middleArea || watched == m_titleBar) {
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
            placeMiddleArea();
    }
    return QWidget::eventFilter(watched, event);
}

// Centred in the bar, but pushed aside rather than covering the controls on the left or the
// window buttons on the right.
void FancyBar::placeMiddleArea()
{
    if (!m_middleWidget) {
        m_middleArea->hide();
        return;
    }
    const QSize size = m_middleArea->sizeHint()
                           .expandedTo(m_middleArea->minimumSizeHint())
                           .boundedTo(this->size());

    int leftBound = m_logoButton->geometry().right() + 1;
    if (m_additionalLayout->count() > 0)
        leftBound = qMax(leftBound, m_additionalLayout->geometry().right() + 1);
    int rightBound = width();
    for (QWidget *button : {static_cast<QWidget *>(m_titleBar->m_minimizeButton),
                            static_cast<QWidget *>(m_titleBar->m_maximizeButton),
                            static_cast<QWidget *>(m_titleBar->m_closeButton)}) {
        if (!button->isHidden())
            rightBound = qMin(rightBound, button->mapTo(this, QPoint(0, 0)).x());
    }

    const int centred = (width() - size.width()) / 2;
    const int x = qMax(leftBound, qMin(centred, rightBound - size.width()));
    const int y = (height() - size.height()) / 2;
    m_middleArea->setGeometry(x, y, size.width(), size.height());
    m_middleArea->show();
    m_middleArea->raise();
}

void FancyBar::mousePressEvent(QMouseEvent *event)
{
    m_drag.end();
    m_pressed = false;
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPos = event->globalPos();
    event->accept();
}

// The move starts at the first motion beyond the drag distance, not at the press, so that the
// second click of a double click still reaches the bar.
void FancyBar::mouseMoveEvent(QMouseEvent *event)
{
    const bool leftHeld = event->buttons() & Qt::LeftButton;
    if (m_drag.isActive()) {
        if (leftHeld)
            m_drag.update(event->globalPos());
        else
            m_drag.end();
        return;
    }
    if (!m_pressed || !leftHeld) {
        m_pressed = false;
        return;
    }
    QWidget *w = window();
    if (m_drag.beginMoveWhenDragged(w == this ? nullptr : w, m_pressPos, event->globalPos()))
        m_pressed = false;
}

void FancyBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    m_drag.end();
    QWidget::mouseReleaseEvent(event);
}

void FancyBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressed = false;
    m_drag.end();
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    if (window() != this && m_titleBar->canMaximize())
        m_titleBar->toggleMaximized();
}

void FancyBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeMiddleArea();
}

void FancyBar::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
