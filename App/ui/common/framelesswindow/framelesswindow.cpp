#include "ui/common/framelesswindow/framelesswindow.h"

#include <QEvent>

#include <algorithm>

#include "framelesshelper.h"
#include "framelessrules.h"

CFramelessWindow::CFramelessWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);

    m_frameless = new FramelessHelper(this, [this](const QPoint &globalPos) {
        FramelessHit hit;
        switch (hitTest(globalPos)) {
        case HitNone:
            break;
        case HitCaption:
            hit.caption = true;
            break;
        case HitLeft:
            hit.edges = Qt::LeftEdge;
            break;
        case HitRight:
            hit.edges = Qt::RightEdge;
            break;
        case HitTop:
            hit.edges = Qt::TopEdge;
            break;
        case HitBottom:
            hit.edges = Qt::BottomEdge;
            break;
        case HitTopLeft:
            hit.edges = Qt::TopEdge | Qt::LeftEdge;
            break;
        case HitTopRight:
            hit.edges = Qt::TopEdge | Qt::RightEdge;
            break;
        case HitBottomLeft:
            hit.edges = Qt::BottomEdge | Qt::LeftEdge;
            break;
        case HitBottomRight:
            hit.edges = Qt::BottomEdge | Qt::RightEdge;
            break;
        }
        return hit;
    });

    setResizable(m_resizable);
}

// The title bar and caption widgets may be children that outlive this part of the object while
// the base classes delete them: stop listening to them first.
CFramelessWindow::~CFramelessWindow()
{
    if (m_titleBar)
        disconnect(m_titleBar, nullptr, this, nullptr);
    for (QWidget *widget : qAsConst(m_captionWidgets))
        disconnect(widget, nullptr, this, nullptr);
}

void CFramelessWindow::setResizable(bool resizable)
{
    const bool wasVisible = isVisible();
    m_resizable = resizable;

    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowMaximizeButtonHint, resizable);
    if (flags != windowFlags())
        setWindowFlags(flags);
    m_frameless->setCaptionDoubleClickMaximizes(resizable);

    if (isVisible() != wasVisible)
        setVisible(wasVisible);
}

bool CFramelessWindow::isResizable() const
{
    return m_resizable;
}

void CFramelessWindow::setResizeBorderWidth(int width)
{
    m_resizeBorderWidth = Frameless::effectiveBand(width);
}

int CFramelessWindow::resizeBorderWidth() const
{
    return m_resizeBorderWidth;
}

void CFramelessWindow::setTitleBar(QWidget *titleBar)
{
    m_titleBar = titleBar;
    if (titleBar)
        connect(titleBar, SIGNAL(destroyed(QObject *)), this, SLOT(onTitleBarDestroyed()),
                Qt::UniqueConnection);
}

QWidget *CFramelessWindow::titleBar() const
{
    return m_titleBar;
}

void CFramelessWindow::addCaptionWidget(QWidget *widget)
{
    if (!widget || m_captionWidgets.contains(widget))
        return;
    m_captionWidgets.append(widget);
    connect(widget, &QObject::destroyed, this, &CFramelessWindow::forgetCaptionWidget);
}

// Keeps a destroyed widget's address from making a later widget caption by chance.
void CFramelessWindow::forgetCaptionWidget(QObject *object)
{
    m_captionWidgets.erase(std::remove_if(m_captionWidgets.begin(), m_captionWidgets.end(),
                                          [object](QWidget *widget) {
                                              return static_cast<QObject *>(widget) == object;
                                          }),
                           m_captionWidgets.end());
}

QList<QWidget *> CFramelessWindow::captionWidgets() const
{
    return m_captionWidgets;
}

void CFramelessWindow::setContentsMargins(const QMargins &margins)
{
    QMainWindow::setContentsMargins(margins + m_frameMargins);
    m_userMargins = margins;
}

void CFramelessWindow::setContentsMargins(int left, int top, int right, int bottom)
{
    setContentsMargins(QMargins(left, top, right, bottom));
}

QMargins CFramelessWindow::contentsMargins() const
{
    return QMainWindow::contentsMargins() - m_frameMargins;
}

QRect CFramelessWindow::contentsRect() const
{
    return QMainWindow::contentsRect().translated(-m_frameMargins.left(), -m_frameMargins.top());
}

void CFramelessWindow::getContentsMargins(int *left, int *top, int *right, int *bottom) const
{
    const QMargins base = QMainWindow::contentsMargins();
    const bool reduce = left && top && right && bottom && isMaximized();
    if (left)
        *left = base.left() - (reduce ? m_frameMargins.left() : 0);
    if (top)
        *top = base.top() - (reduce ? m_frameMargins.top() : 0);
    if (right)
        *right = base.right() - (reduce ? m_frameMargins.right() : 0);
    if (bottom)
        *bottom = base.bottom() - (reduce ? m_frameMargins.bottom() : 0);
}

QMargins CFramelessWindow::frameMargins() const
{
    return m_frameMargins;
}

CFramelessWindow::HitArea CFramelessWindow::hitTest(const QRect &windowRect,
                                                    const QPoint &globalPos, int borderWidth,
                                                    bool resizable, bool fixedWidth,
                                                    bool fixedHeight, const QWidget *titleBar,
                                                    const QList<QWidget *> &captionWidgets)
{
    if (resizable) {
        const Qt::Edges edges =
            Frameless::edgesAt(windowRect, globalPos, borderWidth, !fixedWidth, !fixedHeight);
        const bool left = edges & Qt::LeftEdge;
        const bool right = edges & Qt::RightEdge;
        if (edges & Qt::TopEdge)
            return left ? HitTopLeft : right ? HitTopRight : HitTop;
        if (edges & Qt::BottomEdge)
            return left ? HitBottomLeft : right ? HitBottomRight : HitBottom;
        if (left)
            return HitLeft;
        if (right)
            return HitRight;
    }

    if (!titleBar || !titleBar->isVisible())
        return HitNone;
    const QPoint local = titleBar->mapFromGlobal(globalPos);
    if (!titleBar->rect().contains(local))
        return HitNone;
    QWidget *child = titleBar->childAt(local);
    if (!child || captionWidgets.contains(child))
        return HitCaption;
    return HitNone;
}

CFramelessWindow::HitArea CFramelessWindow::hitTest(const QPoint &globalPos) const
{
    return hitTest(QRect(mapToGlobal(QPoint(0, 0)), size()), globalPos, m_resizeBorderWidth,
                   m_resizable, minimumWidth() == maximumWidth(),
                   minimumHeight() == maximumHeight(), m_titleBar, m_captionWidgets);
}

QMargins CFramelessWindow::maximizedFrameMargins()
{
    return QMargins();
}

void CFramelessWindow::onTitleBarDestroyed()
{
    if (sender() == m_titleBar)
        m_titleBar = nullptr;
}

void CFramelessWindow::showFullScreen()
{
    if (isMaximized())
        dropFrameMargins();
    QMainWindow::showFullScreen();
}

void CFramelessWindow::dropFrameMargins()
{
    QMainWindow::setContentsMargins(m_userMargins);
    m_frameMargins = QMargins();
    m_justMaximized = false;
}

void CFramelessWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (isMaximized()) {
            if (!m_justMaximized) {
                m_frameMargins = maximizedFrameMargins();
                QMainWindow::setContentsMargins(m_userMargins + m_frameMargins);
                m_justMaximized = true;
            }
        } else if (m_justMaximized) {
            dropFrameMargins();
        }
    }
    QMainWindow::changeEvent(event);
}
