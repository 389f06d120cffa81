#pragma once

class QMenu;
class QWidget;

// A popup menu takes the pointer while it is open: a widget that was under the pointer when the
// menu opened hears no leave when the pointer moves away over the menu, and keeps drawing its
// hover look after the menu has closed. This clears that stale hover.
class HoverReset
{
public:
    // When the menu has closed, the widgets of the root (the root among them) that still count
    // as under the pointer but no longer have it over them are told that it left.
    static void afterMenu(QMenu *menu, QWidget *root);
    // Tells every such widget of the root, now, that the pointer left.
    static void clearStale(QWidget *root);

private:
    HoverReset() = delete;
};
