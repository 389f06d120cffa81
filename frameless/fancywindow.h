#pragma once

#include <QMainWindow>

#include "fancybar.h"
#include "fancytitlebar.h"

// A main window without the window system's frame. Its FancyBar sits above everything else
// (central widget and docks) and shows the window icon and title; a band of ResizeBand pixels
// along the edges resizes the window, except along an axis whose size is fixed.
//
// Set the central widget, configure the bar, then title and icon: the bar follows later changes
// of title, icon and window state. The bar occupies the menu-widget slot, so do not call
// menuBar(): it would replace the bar. The window is never narrower than its bar needs, so that
// the bar's controls never lie over each other.
class FancyWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int ResizeBand = 4;

    explicit FancyWindow(QWidget *parent = nullptr);
    ~FancyWindow() override;

    FancyBar *fancyBar() const;

protected:
    bool event(QEvent *event) override;

private:
    Q_DISABLE_COPY(FancyWindow)

    FancyBar *m_fancyBar;
};
