#include "fancywindow.h"

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

FancyBar *FancyWindow::fancyBar() const
{
    return m_fancyBar;
}
