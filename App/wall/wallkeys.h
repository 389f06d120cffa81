#pragma once

#include <QList>
#include <QString>

// What the keys of the camera wall see and change. Positions are 0-based tile positions.
struct WallState {
    // The layout in force: tile count and first position.
    int type = 16;
    int index = 0;
    // The position shown alone, or -1 while the layout is shown.
    int single = -1;
    // The position under the focus frame, or -1 for none.
    int focus = -1;
    bool fullScreen = false;
    bool help = false;
    bool touring = false;

    bool operator==(const WallState &other) const;
    bool operator!=(const WallState &other) const { return !(*this == other); }
    QString toString() const;
};

// The key map of the camera wall as one rule: a key (a Qt key code with its modifiers, as
// QKeySequence holds it) and the state before give the state after, whether the layout after
// is stored (as the layout menu stores it) and whether a snapshot is taken. A key the wall does
// not use changes nothing.
class WallKeys
{
public:
    struct Step {
        WallState after;
        bool storesLayout = false;
        bool snapshot = false;
    };

    static Step apply(const WallState &before, int key);

    // The keys of the wall, for the shortcuts and the list the operator reads.
    struct Binding {
        int key;
        // Acts wherever the focus is in the window; the others only with the focus on the wall.
        bool windowWide;
        QString text;
    };
    static QList<Binding> bindings();

private:
    static void chooseType(Step &step, int type);
    static void nextGroup(Step &step, int direction);
    static void moveFocus(Step &step, int dx, int dy);
    static void toggleSingle(Step &step);
};
