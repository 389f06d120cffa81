#include "fancywindow.h"

#include <QEvent>
#include <QLayout>

#include "framelesshelper.h"

FancyWindow::FancyWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    m_fancyBar = new FancyBar(this);
    setMenuWidget(m_fancyBar);

    new FramelessHelper(this, FramelessHelper::edgeHitTest(this, ResizeBand));
}

FancyWindow::~FancyWindow() = default;

// The main window's layout counts the bar's height only; its width is added here. The minimum
// only ever grows, so that a size fixed by the user of the class stays as it is where it is wide
// enough.
bool FancyWindow::event(QEvent *event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest && layout()) {
        const int width =
            qMax(layout()->totalMinimumSize().width(), m_fancyBar->minimumSizeHint().width());
        if (width > minimumWidth())
            setMinimumWidth(width);
    }
    return result;
}

FancyBar *FancyWindow::fancyBar() const
{
    return m_fancyBar;
}
