#include "fancywindow.h"

#include "framelesshelper.h"
#include "framelessrules.h"

FancyWindow::FancyWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);

    m_fancyBar = new FancyBar(this);
    setMenuWidget(m_fancyBar);

    m_frameless = new FramelessHelper(this, [this](const QPoint &globalPos) {
        FramelessHit hit;
        hit.edges = Frameless::edgesAt(QRect(mapToGlobal(QPoint(0, 0)), size()), globalPos,
                                       ResizeBand, minimumWidth() != maximumWidth(),
                                       minimumHeight() != maximumHeight());
        return hit;
    });
}

FancyWindow::~FancyWindow() = default;

FancyBar *FancyWindow::fancyBar() const
{
    return m_fancyBar;
}
