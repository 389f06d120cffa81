#include "wallkeys.h"

#include "wall/walllayout.h"

namespace
{

// The layouts of Alt+1 to Alt+8, in key order.
int typeOfDigit(int key)
{
    const QList<int> types = WallLayout::keyTypes();
    const int digit = key - Qt::Key_1;
    return digit >= 0 && digit < types.size() ? types.at(digit) : 0;
}

bool contains(int type, int index, int position)
{
    return position >= index && position < index + type;
}

} // namespace

bool WallState::operator==(const WallState &other) const
{
    return type == other.type && index == other.index && single == other.single &&
           focus == other.focus && fullScreen == other.fullScreen && help == other.help &&
           touring == other.touring;
}

QString WallState::toString() const
{
    return QStringLiteral("layout %1 from %2, single %3, focus %4%5%6%7")
        .arg(type)
        .arg(index)
        .arg(single)
        .arg(focus)
        .arg(fullScreen ? QStringLiteral(", full screen") : QString())
        .arg(help ? QStringLiteral(", help") : QString())
        .arg(touring ? QStringLiteral(", touring") : QString());
}

WallKeys::Step WallKeys::apply(const WallState &before, int key)
{
    Step step;
    step.after = before;
    // A digit of the keypad is the same digit.
    const int modifiers = key & int(Qt::KeyboardModifierMask) & ~int(Qt::KeypadModifier);
    const int code = key & ~int(Qt::KeyboardModifierMask);

    if (modifiers == int(Qt::AltModifier)) {
        if (const int type = typeOfDigit(code))
            chooseType(step, type);
        return step;
    }
    if (modifiers == int(Qt::ControlModifier)) {
        if (code == Qt::Key_S)
            step.snapshot = true;
        else if (code == Qt::Key_T)
            step.after.touring = !before.touring;
        return step;
    }
    if (modifiers != 0)
        return step;

    switch (code) {
    case Qt::Key_PageDown:
        nextGroup(step, 1);
        break;
    case Qt::Key_PageUp:
        nextGroup(step, -1);
        break;
    case Qt::Key_Left:
        moveFocus(step, -1, 0);
        break;
    case Qt::Key_Right:
        moveFocus(step, 1, 0);
        break;
    case Qt::Key_Up:
        moveFocus(step, 0, -1);
        break;
    case Qt::Key_Down:
        moveFocus(step, 0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        toggleSingle(step);
        break;
    case Qt::Key_Escape:
        // The newest thing on screen goes first: the list, the single tile, the full screen.
        if (before.help)
            step.after.help = false;
        else if (before.single >= 0)
            toggleSingle(step);
        else if (before.fullScreen)
            step.after.fullScreen = false;
        else
            step.after.focus = -1;
        break;
    case Qt::Key_F1:
        step.after.help = !before.help;
        break;
    case Qt::Key_F11:
        step.after.fullScreen = !before.fullScreen;
        break;
    default:
        break;
    }
    return step;
}

// Alt+digit: the layout of that many tiles around the first tile on screen. One tile is the
// single view, which is not stored (a double click gives it too); the others are stored as the
// menu stores them.
void WallKeys::chooseType(Step &step, int type)
{
    WallState &after = step.after;
    const int first = after.single >= 0 ? after.single : after.index;
    if (type == 1) {
        after.single = first;
        after.focus = first;
        return;
    }
    const int index = WallLayout::groupAround(type, first);
    if (index < 0)
        return;
    const bool single = after.single >= 0;
    if (!single && type == after.type && index == after.index)
        return;
    after.single = -1;
    after.type = type;
    after.index = index;
    if (!contains(type, index, after.focus))
        after.focus = -1;
    step.storesLayout = true;
}

// PageDown/PageUp: the next or previous group of the layout, the focus on the same place in
// it; a tile shown alone gives way to its neighbour, also alone.
void WallKeys::nextGroup(Step &step, int direction)
{
    WallState &after = step.after;
    if (after.single >= 0) {
        after.single = WallLayout::nextGroup(1, after.single, direction);
        after.focus = after.single;
        return;
    }
    const int index = WallLayout::nextGroup(after.type, after.index, direction);
    if (index == after.index)
        return;
    if (after.focus >= 0)
        after.focus = index + (after.focus - after.index);
    after.index = index;
    step.storesLayout = true;
}

// An arrow: the focus goes to the nearest tile of the layout that lies wholly beyond the
// focused one in that direction and beside it across; without a focus, to the first tile.
void WallKeys::moveFocus(Step &step, int dx, int dy)
{
    WallState &after = step.after;
    if (after.single >= 0) {
        after.focus = after.single;
        return;
    }
    if (!contains(after.type, after.index, after.focus)) {
        after.focus = after.index;
        return;
    }
    const QList<WallLayout::Cell> cells = WallLayout::cells(after.type);
    if (cells.isEmpty())
        return;
    const WallLayout::Cell from = cells.at(after.focus - after.index);
    int best = -1;
    int bestGap = 0;
    int bestAcross = 0;
    for (int k = 0; k < cells.size(); ++k) {
        const WallLayout::Cell &to = cells.at(k);
        int gap = -1;
        int across = 0;
        if (dx != 0) {
            const bool beside = to.row < from.row + from.rowSpan && from.row < to.row + to.rowSpan;
            gap = dx > 0 ? to.column - (from.column + from.columnSpan)
                         : from.column - (to.column + to.columnSpan);
            across = to.row;
            if (!beside)
                gap = -1;
        } else {
            const bool beside = to.column < from.column + from.columnSpan &&
                                from.column < to.column + to.columnSpan;
            gap = dy > 0 ? to.row - (from.row + from.rowSpan) : from.row - (to.row + to.rowSpan);
            across = to.column;
            if (!beside)
                gap = -1;
        }
        if (gap < 0)
            continue;
        if (best < 0 || gap < bestGap || (gap == bestGap && across < bestAcross)) {
            best = k;
            bestGap = gap;
            bestAcross = across;
        }
    }
    if (best >= 0)
        after.focus = after.index + best;
}

// Enter: the focused tile alone, as a double click shows it; again, the layout back, which is
// stored again as the double click's way back stores it.
void WallKeys::toggleSingle(Step &step)
{
    WallState &after = step.after;
    if (after.single >= 0) {
        after.single = -1;
        step.storesLayout = true;
        return;
    }
    if (contains(after.type, after.index, after.focus))
        after.single = after.focus;
}

QList<WallKeys::Binding> WallKeys::bindings()
{
    QList<Binding> list;
    const QList<int> types = WallLayout::keyTypes();
    for (int k = 0; k < types.size(); ++k)
        list.append(
            {int(Qt::ALT) | (Qt::Key_1 + k), true, QStringLiteral("%1 画面").arg(types.at(k))});
    list.append({Qt::Key_PageDown, false, QStringLiteral("下一组")});
    list.append({Qt::Key_PageUp, false, QStringLiteral("上一组")});
    list.append({Qt::Key_Left, false, QStringLiteral("焦点左移")});
    list.append({Qt::Key_Right, false, QStringLiteral("焦点右移")});
    list.append({Qt::Key_Up, false, QStringLiteral("焦点上移")});
    list.append({Qt::Key_Down, false, QStringLiteral("焦点下移")});
    list.append({Qt::Key_Return, false, QStringLiteral("单画面 / 恢复布局")});
    list.append({Qt::Key_Enter, false, QString()});
    list.append({Qt::Key_Escape, false, QStringLiteral("关闭 / 恢复布局 / 退出全屏")});
    list.append({Qt::Key_F1, true, QStringLiteral("快捷键列表")});
    list.append({Qt::Key_F11, true, QStringLiteral("全屏")});
    list.append({int(Qt::CTRL) | Qt::Key_S, true, QStringLiteral("快照")});
    list.append({int(Qt::CTRL) | Qt::Key_T, true, QStringLiteral("轮巡")});
    return list;
}
