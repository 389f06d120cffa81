#pragma once

#include <Qt>

class QWidget;

// Brings a top-level window in front of all others without leaving it always on top. This is
// the one place that knows how the platform is asked to do so: show, raise and activate, and ask
// for the user's attention where the window manager refuses to hand over the focus.
class WindowRaiser
{
public:
    // The state to give a window that is to come to the front: a minimised window comes back
    // in the state it had before (maximised stays maximised), every other state is kept.
    static Qt::WindowStates frontState(Qt::WindowStates current);

    static void bringToFront(QWidget *window);

    // Delay before checking whether the window manager let the window take the focus.
    static constexpr int ActivationCheckMs = 300;
};
