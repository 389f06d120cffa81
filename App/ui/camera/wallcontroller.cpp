#include "wallcontroller.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDrag>
#include <QDropEvent>
#include <QGridLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>

#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/wallfocusframe.h"
#include "ui/camera/wallhelpoverlay.h"
#include "ui/camera/wallnotice.h"
#include "wall/channeldrag.h"
#include "wall/snapshotwriter.h"
#include "wall/wallarrangement.h"
#include "wall/walllayout.h"
#include "wall/walltour.h"

namespace
{

constexpr int DragPixmapWidth = 160;

} // namespace

WallController::WallController(CameraPanel *panel) : QObject(panel), m_panel(panel)
{
    m_tour = new WallTour(this);
    m_tour->setIntervalMs(WallTour::storedSeconds() * 1000);
    connect(m_tour, &WallTour::step, this, &WallController::tourStep);

    m_snapshots = new SnapshotWriter(this);
    connect(m_snapshots, &SnapshotWriter::saved, this,
            [this](const QString &path) { m_notice->showNotice(tr("快照已保存：%1").arg(path)); });
    connect(m_snapshots, &SnapshotWriter::failed, this, [this](const QString &reason) {
        m_notice->showNotice(tr("快照未保存：%1").arg(reason));
    });

    m_frame = new WallFocusFrame(panel);
    m_help = new WallHelpOverlay(panel);
    m_notice = new WallNotice(panel);

    // Clicking the wall gives it the keys; Tab still passes it by.
    panel->setFocusPolicy(Qt::ClickFocus);
    panel->setAcceptDrops(true);
    panel->installEventFilter(this);
    const QList<CameraDisplay *> tiles = panel->tiles();
    for (CameraDisplay *tile : tiles)
        tile->installEventFilter(this);
    // The frame follows the tile of its position through every layout change.
    connect(panel->cameraBox(), &CameraBox::changeCamera, this, &WallController::placeFrame);

    addShortcuts();
    addMenuEntries();
}

WallController::~WallController() = default;

WallFocusFrame *WallController::focusFrame() const
{
    return m_frame;
}

void WallController::addShortcuts()
{
    const QList<WallKeys::Binding> bindings = WallKeys::bindings();
    for (const WallKeys::Binding &binding : bindings) {
        auto *shortcut = new QShortcut(QKeySequence(binding.key), m_panel);
        // The keys that other widgets use too (arrows, pages, Enter, Escape) act only while the
        // wall has the focus.
        shortcut->setContext(binding.windowWide ? Qt::WindowShortcut
                                                : Qt::WidgetWithChildrenShortcut);
        const int key = binding.key;
        connect(shortcut, &QShortcut::activated, this, [this, key] { handleKey(key); });
    }
}

void WallController::addMenuEntries()
{
    QMenu *menu = m_panel->menu();
    menu->addSeparator();
    m_naturalOrderAction = menu->addAction(tr("恢复通道顺序"));
    connect(m_naturalOrderAction, &QAction::triggered, this, [this] {
        m_panel->setArrangement(WallArrangement());
        placeFrame();
    });
    m_tourAction = menu->addAction(tr("轮巡"));
    m_tourAction->setCheckable(true);
    connect(m_tourAction, &QAction::triggered, this, [this](bool checked) {
        WallState after = state();
        after.touring = checked;
        moveTo(after, false);
    });
    connect(m_tour, &WallTour::runningChanged, m_tourAction, &QAction::setChecked);
}

WallState WallController::state() const
{
    WallState state;
    const QString layout = m_panel->cameraBox()->cameraType();
    state.type = WallLayout::typeOf(layout);
    state.index = WallLayout::firstTileOf(layout);
    state.single = m_panel->maximisedPosition();
    state.focus = m_focus;
    state.fullScreen = m_fullScreen;
    state.help = m_help->isVisible();
    state.touring = m_tour->isRunning();
    return state;
}

void WallController::handleKey(int key)
{
    m_tour->noteInput();
    const WallKeys::Step step = WallKeys::apply(state(), key);
    moveTo(step.after, step.storesLayout);
    if (step.snapshot)
        takeSnapshot();
}

void WallController::moveTo(const WallState &after, bool storeLayout)
{
    const WallState before = state();
    const bool sameLayout = after.type == before.type && after.index == before.index;
    if (after.single >= 0) {
        if (!sameLayout)
            m_panel->chooseLayout(WallLayout::layoutFor(after.type, after.index), storeLayout);
        if (after.single != before.single || !sameLayout)
            m_panel->maximise(after.single);
    } else if (before.single >= 0 && sameLayout) {
        m_panel->restoreLayout();
    } else if (before.single >= 0 || !sameLayout) {
        m_panel->chooseLayout(WallLayout::layoutFor(after.type, after.index), storeLayout);
    }
    m_focus = after.focus;
    placeFrame();

    if (after.help != before.help) {
        m_help->setVisible(after.help);
        m_help->raise();
    }
    if (after.touring != before.touring) {
        if (after.touring)
            m_tour->start();
        else
            m_tour->stop();
    }
    if (after.fullScreen != before.fullScreen) {
        m_fullScreen = after.fullScreen;
        emit fullScreenRequested(m_fullScreen);
    }
}

void WallController::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
}

void WallController::placeFrame()
{
    if (m_frame)
        m_frame->setTile(m_focus >= 0 ? m_panel->tileAt(m_focus) : nullptr);
}

void WallController::tourStep()
{
    // What PageDown shows, stored nowhere.
    moveTo(WallKeys::apply(state(), Qt::Key_PageDown).after, false);
}

void WallController::takeSnapshot()
{
    const WallState now = state();
    const int position = now.single >= 0 ? now.single : now.focus;
    QImage image;
    int channel = SnapshotWriter::WholeWall;
    if (CameraDisplay *tile = position >= 0 ? m_panel->tileAt(position) : nullptr) {
        image = tile->snapshot();
        channel = m_panel->arrangement().channelAt(position);
    } else {
        // The wall as it is, without the notice of an earlier snapshot.
        m_notice->hide();
        image = m_panel->grab(m_panel->gridLayout()->geometry()).toImage();
    }
    if (!m_snapshots->save(image, channel, QDateTime::currentDateTime()))
        m_notice->showNotice(tr("快照未保存：仍有快照在写入"));
}

int WallController::positionAt(const QPoint &point) const
{
    for (int position = 0; position < WallArrangement::ChannelCount; ++position) {
        const CameraDisplay *tile = m_panel->tileAt(position);
        if (tile && tile->isVisible() && tile->geometry().contains(point))
            return position;
    }
    return -1;
}

bool WallController::filterDrop(QEvent *event)
{
    auto *drop = static_cast<QDropEvent *>(event);
    const int channel = ChannelDrag::channelOf(drop->mimeData());
    const int position = positionAt(drop->pos());
    // The enter is taken wherever it lands (a gap between tiles, the page's margin): Qt sends
    // the moves and the drop only to a widget that took the enter.
    if (channel < 0 || (position < 0 && event->type() != QEvent::DragEnter)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        m_tour->noteInput();
        m_panel->placeChannel(channel, position);
        placeFrame();
    }
    return true;
}

bool WallController::startDragFrom(CameraDisplay *tile, const QPoint &globalPos)
{
    if ((globalPos - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return false;
    m_pressed = nullptr;
    const int channel = m_panel->arrangement().channelAt(m_panel->positionOf(tile));
    auto *drag = new QDrag(tile);
    drag->setMimeData(ChannelDrag::mimeData(channel));
    drag->setPixmap(tile->grab().scaledToWidth(DragPixmapWidth, Qt::SmoothTransformation));
    drag->exec(Qt::MoveAction);
    return true;
}

bool WallController::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (watched == m_panel)
            return filterDrop(event);
        break;
    case QEvent::MouseButtonPress: {
        m_tour->noteInput();
        auto *mouse = static_cast<QMouseEvent *>(event);
        // A press on a tile travels on to the page: only the tile's copy counts for a drag.
        if (auto *tile = qobject_cast<CameraDisplay *>(watched)) {
            m_pressed = mouse->buttons() == Qt::LeftButton ? tile : nullptr;
            m_pressAt = mouse->globalPos();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_pressed && watched == m_pressed && mouse->buttons() == Qt::LeftButton)
            return startDragFrom(m_pressed, mouse->globalPos());
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressed = nullptr;
        break;
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_tour->noteInput();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
