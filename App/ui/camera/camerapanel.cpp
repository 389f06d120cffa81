#include "camerapanel.h"

#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/wallcontroller.h"
#include "ui/common/hoverreset.h"
#include "video/videochannelset.h"

#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QVector>

#include <algorithm>

namespace
{

// Any state other than 0 (NG) and 1 (OK) reads "UNKNOW".
constexpr int UnknownState = 2;

} // namespace

CameraPanel::CameraPanel(QWidget *parent) : QWidget(parent)
{
    initUI();
}

void CameraPanel::initUI()
{
    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setContentsMargins(MarginLeft, MarginTop, MarginRight, MarginBottom);

    m_gridLayout = new QGridLayout;

    // Kept up to date but not part of the page; owned by it and hidden so it never appears.
    m_statusLabel = new QLabel(this);
    m_statusLabel->setFixedHeight(StatusHeight);
    m_statusLabel->hide();

    m_mainLayout->addLayout(m_gridLayout, 0);
    setLayout(m_mainLayout);

    m_videoMax = false;
    installEventFilter(this);

    for (int i = 0; i < TileCount; ++i) {
        // Owned by the page from the start: a tile the grid never receives is still deleted with
        // the page, and showing it can never make it a window of its own.
        auto *tile = new CameraDisplay(this);
        tile->hide();
        tile->setObjectName(QStringLiteral("CameraDisplay"));
        tile->bindChannel(i + 1, nullptr);
        tile->setState(UnknownState);
        tile->installEventFilter(this);
        m_tiles.append(tile);
    }

    // The layouts place positions; the arrangement says which channel's tile is at each.
    m_arrangement = WallArrangement::load();
    QList<QWidget *> widgets;
    for (int position = 0; position < TileCount; ++position)
        widgets.append(m_tiles.at(m_arrangement.channelAt(position) - 1));

    m_cameraBox = new CameraBox(this);
    connect(m_cameraBox, SIGNAL(changeCamera(int, QString, bool)), this,
            SLOT(changeCamera(int, QString, bool)));
    m_cameraBox->setCameraType(QStringLiteral("1_16"));
    m_cameraBox->setGridLayout(m_gridLayout);
    m_cameraBox->setWidgets(widgets);
    m_cameraBox->setMenuFlag(tr("画面"));
    m_cameraBox->setActionFlag(tr("摄像头"));

    applyStoredLayout();

    m_menu = new QMenu(this);
    m_cameraBox->initMenu(m_menu, QVector<bool>(CameraBox::menuTypes().size(), true).toList());
    // The box skips a layout that is already in force, so choosing the layout the single-tile
    // view came from lays nothing out: bring it back here.
    connect(m_menu, &QMenu::triggered, this, &CameraPanel::restoreLayout);
    HoverReset::afterMenu(m_menu, this);

    m_wall = new WallController(this);
}

void CameraPanel::addNotice(QWidget *notice)
{
    m_mainLayout->insertWidget(0, notice, 0);
}

void CameraPanel::applyStoredLayout()
{
    const QPair<int, int> stored = SetupConfig::instance()->camera();
    int type = stored.first;
    int index = stored.second;
    // The store keeps only type and index; the layout string names what is on screen and is
    // what the menu compares with, so it is derived from the pair.
    QString layout = m_cameraBox->layoutFor(type, index);
    if (layout.isEmpty()) {
        qWarning("CameraPanel: the stored camera layout (type %d, index %d) is not one of the "
                 "offered layouts; showing type %d, index %d instead.",
                 type, index, SetupConfig::DefaultCameraType, SetupConfig::DefaultCameraIndex);
        type = SetupConfig::DefaultCameraType;
        index = SetupConfig::DefaultCameraIndex;
        layout = m_cameraBox->layoutFor(type, index);
    }
    m_cameraBox->setCameraType(layout);
    m_cameraBox->showCamera(type, index);
}

void CameraPanel::doAction()
{
    Q_UNUSED(sender())
}

void CameraPanel::changeCamera(int type, QString videoType, bool videoMax)
{
    // A layout laid out over a tile shown alone ends the single-tile view.
    if (!videoMax)
        m_videoMax = false;
    m_statusLabel->setText(tr("主菜单：%1  子菜单：%2").arg(QString::number(type), videoType));
    updateTileStreams();
}

void CameraPanel::setChannels(VideoChannelSet *channels)
{
    m_channels = channels;
    for (int i = 0; i < m_tiles.size(); ++i)
        bindTile(i, i + 1);
}

void CameraPanel::bindTile(int tile, int number)
{
    if (tile < 0 || tile >= m_tiles.size())
        return;
    m_tiles.at(tile)->bindChannel(number, m_channels ? m_channels->channel(number) : nullptr);
    updateTileStreams();
}

CameraDisplay *CameraPanel::tileOfChannel(int number) const
{
    for (CameraDisplay *tile : m_tiles) {
        if (tile->channelNumber() == number)
            return tile;
    }
    return nullptr;
}

void CameraPanel::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    updateTileStreams();
}

// The layout hides the tiles it leaves out, and their pictures ask for nothing then; the
// tiles it shows share the wall, or one fills it.
void CameraPanel::updateTileStreams()
{
    const int shown =
        int(std::count_if(m_tiles.cbegin(), m_tiles.cend(),
                          [](const CameraDisplay *tile) { return !tile->isHidden(); }));
    VideoChannel::Stream stream = VideoChannel::Stream::None;
    if (m_active)
        stream = shown == 1 ? VideoChannel::Stream::Main : VideoChannel::Stream::Grid;
    for (CameraDisplay *tile : qAsConst(m_tiles))
        tile->setVideoStream(stream);
}

bool CameraPanel::opensMenu(Qt::MouseButtons held)
{
    return held == Qt::RightButton;
}

void CameraPanel::popupMenu(const QPoint &globalPos)
{
    m_menu->exec(globalPos);
}

void CameraPanel::toggleMaximised(CameraDisplay *tile)
{
    if (m_videoMax) {
        m_videoMax = false;
        m_cameraBox->restoreCamera();
        updateTileStreams();
        return;
    }
    showAlone(tile);
}

void CameraPanel::showAlone(CameraDisplay *tile)
{
    m_videoMax = true;
    m_cameraBox->hideCamera();
    m_gridLayout->addWidget(tile, 0, 0);
    tile->setVisible(true);
    updateTileStreams();
}

CameraDisplay *CameraPanel::tileAt(int position) const
{
    return qobject_cast<CameraDisplay *>(m_cameraBox->widgets().value(position));
}

int CameraPanel::positionOf(const CameraDisplay *tile) const
{
    return m_cameraBox->widgets().indexOf(const_cast<CameraDisplay *>(tile));
}

int CameraPanel::maximisedPosition() const
{
    if (!m_videoMax || m_gridLayout->count() != 1)
        return -1;
    return positionOf(qobject_cast<CameraDisplay *>(m_gridLayout->itemAt(0)->widget()));
}

void CameraPanel::maximise(int position)
{
    if (CameraDisplay *tile = tileAt(position))
        showAlone(tile);
}

void CameraPanel::restoreLayout()
{
    if (!m_videoMax)
        return;
    m_videoMax = false;
    m_cameraBox->restoreCamera();
    updateTileStreams();
}

void CameraPanel::chooseLayout(const QString &layout, bool store)
{
    // The box skips the layout in force, which a tile shown alone hides: bring it back.
    if (m_videoMax && layout == m_cameraBox->cameraType()) {
        restoreLayout();
        return;
    }
    m_videoMax = false;
    if (store)
        m_cameraBox->chooseLayout(layout);
    else
        m_cameraBox->previewLayout(layout);
}

const WallArrangement &CameraPanel::arrangement() const
{
    return m_arrangement;
}

void CameraPanel::swapPositions(int first, int second)
{
    m_arrangement.swap(first, second);
    m_cameraBox->swapTiles(first, second);
}

void CameraPanel::placeChannel(int channel, int position)
{
    const int from = m_arrangement.positionOf(channel);
    if (from < 0 || position < 0 || position >= TileCount || from == position)
        return;
    swapPositions(from, position);
    m_arrangement.store();
}

void CameraPanel::setArrangement(const WallArrangement &arrangement)
{
    if (arrangement == m_arrangement)
        return;
    for (int position = 0; position < TileCount; ++position)
        swapPositions(position, m_arrangement.positionOf(arrangement.channelAt(position)));
    m_arrangement.store();
}

WallController *CameraPanel::wall() const
{
    return m_wall;
}

bool CameraPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
        // Only tiles are maximised: the page's own double clicks (margins, grid gaps) pass by,
        // so the page never lands in its own grid.
        auto *tile = qobject_cast<CameraDisplay *>(watched);
        if (tile && m_tiles.contains(tile)) {
            toggleMaximised(tile);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        if (opensMenu(QGuiApplication::mouseButtons())) {
            popupMenu(QCursor::pos());
            // A press on a tile travels on to the page, whose filter would open the menu again.
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QList<CameraDisplay *> CameraPanel::tiles() const
{
    return m_tiles;
}

QGridLayout *CameraPanel::gridLayout() const
{
    return m_gridLayout;
}

QMenu *CameraPanel::menu() const
{
    return m_menu;
}

CameraBox *CameraPanel::cameraBox() const
{
    return m_cameraBox;
}

QString CameraPanel::statusText() const
{
    return m_statusLabel->text();
}

bool CameraPanel::isTileMaximised() const
{
    return m_videoMax;
}
