#include "camerabox.h"

#include "common/config/setupconfig.h"
#include "wall/walllayout.h"

#include <QAction>
#include <QDebug>
#include <QGridLayout>
#include <QMenu>
#include <QMetaType>
#include <QSet>
#include <QVariant>
#include <QWidget>

namespace
{

const QChar LayoutSeparator = QLatin1Char('_');
const QString SingleViewPrefix = QStringLiteral("0_");

// The 0-based tile of a 1-based camera number; -1 for anything that names no camera, so that
// the range checks reject it without any arithmetic on hand-edited numbers.
int tileOfCamera(const QString &cameraNumber)
{
    bool ok = false;
    const int number = cameraNumber.toInt(&ok);
    return ok && number > 0 ? number - 1 : -1;
}

} // namespace

CameraBox::CameraBox(QObject *parent)
    : QObject(parent), m_cameraType(QStringLiteral("1_16")), m_menuFlag(QStringLiteral("排列")),
      m_actionFlag(QStringLiteral("监控"))
{
    qRegisterMetaType<QList<int>>("QList<int>");

    m_cameraLayouts = WallLayout::offeredLayouts();
}

QList<int> CameraBox::menuTypes()
{
    return WallLayout::menuTypes();
}

QString CameraBox::cameraType() const
{
    return m_cameraType;
}

void CameraBox::setCameraType(const QString &cameraType)
{
    if (m_cameraType == cameraType)
        return;
    m_cameraType = cameraType;
}

void CameraBox::setGridLayout(QGridLayout *gridLayout)
{
    m_gridLayout = gridLayout;
    if (!m_gridLayout)
        return;
    m_gridLayout->setContentsMargins(0, 0, 0, 0);
    m_gridLayout->setSpacing(1);
}

void CameraBox::setWidgets(const QList<QWidget *> &widgets)
{
    m_widgets = widgets;
}

void CameraBox::setMenuFlag(const QString &menuFlag)
{
    if (m_menuFlag == menuFlag)
        return;
    m_menuFlag = menuFlag;
}

void CameraBox::setActionFlag(const QString &actionFlag)
{
    if (m_actionFlag == actionFlag)
        return;
    m_actionFlag = actionFlag;
}

QMap<int, QStringList> CameraBox::cameraLayouts() const
{
    return m_cameraLayouts;
}

void CameraBox::setCameraLayouts(const QMap<int, QStringList> &cameraLayouts)
{
    m_cameraLayouts = cameraLayouts;
}

QString CameraBox::layoutFor(int type, int index) const
{
    if (!rangeExists(index, type))
        return QString();
    const QStringList layouts = m_cameraLayouts.value(type);
    for (const QString &layout : layouts) {
        if (tileOfCamera(layout.section(LayoutSeparator, 0, 0)) == index)
            return layout;
    }
    return QString();
}

bool CameraBox::hasGrid(const char *slotName) const
{
    if (m_gridLayout)
        return true;
    qWarning("CameraBox: %s without a grid; nothing to lay out.", slotName);
    return false;
}

bool CameraBox::rangeExists(int index, int count) const
{
    if (count < 1 || index < 0 || index > m_widgets.size() - count)
        return false;
    for (int i = index; i < index + count; ++i) {
        if (!m_widgets.at(i))
            return false;
    }
    return true;
}

// The one check of every placement by tile index: a grid to place into, and tiles index to
// index + count - 1 all in the list.
bool CameraBox::canPlace(const char *slotName, int index, int count) const
{
    if (!hasGrid(slotName))
        return false;
    if (rangeExists(index, count))
        return true;
    qWarning("CameraBox: %s(%d) names tiles outside the list of %d; the layout stays as it is.",
             slotName, index, int(m_widgets.size()));
    return false;
}

void CameraBox::placeTile(int index, const Cell &cell)
{
    QWidget *widget = m_widgets.at(index);
    m_gridLayout->addWidget(widget, cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    widget->setVisible(true);
}

void CameraBox::hideCamera()
{
    for (QWidget *widget : qAsConst(m_widgets)) {
        if (!widget)
            continue;
        if (m_gridLayout)
            m_gridLayout->removeWidget(widget);
        widget->setVisible(false);
    }
}

void CameraBox::changeCamera1(int index)
{
    if (!canPlace("changeCamera1", index, 1))
        return;
    hideCamera();
    placeTile(index, {0, 0, 1, 1});
}

void CameraBox::changeCamera2(int index)
{
    if (!canPlace("changeCamera2", index, 2))
        return;
    hideCamera();
    placeTile(index, {0, 0, 1, 1});
    placeTile(index + 1, {0, 1, 1, 1});
}

void CameraBox::changeCameranormal(int index, int flag)
{
    if (flag < 1) {
        qWarning("CameraBox: changeCameranormal(%d, %d) asks for a grid without tiles; the layout "
                 "stays as it is.",
                 index, flag);
        return;
    }
    if (!canPlace("changeCameranormal", index, 1))
        return;
    hideCamera();
    const qint64 wanted = qint64(flag) * flag;
    qint64 placed = 0;
    int row = 0;
    int column = 0;
    for (int i = 0; i < m_widgets.size(); ++i) {
        if (i >= index && m_widgets.at(i)) {
            placeTile(i, {row, column, 1, 1});
            ++placed;
            ++column;
            if (column == flag) {
                ++row;
                column = 0;
            }
        }
        if (placed == wanted)
            break;
    }
}

void CameraBox::changeCameracustom(int index, int type)
{
    if (type != 6 && type != 8 && type != 13)
        return;
    // Also keeps index + type from overflowing below.
    if (!canPlace("changeCameracustom", index, type))
        return;
    QList<int> indexs;
    for (int i = index; i < index + type; ++i)
        indexs.append(i);
    if (type == 6)
        changeCamera6(indexs);
    else if (type == 8)
        changeCamera8(indexs);
    else
        changeCamera13(indexs);
}

void CameraBox::placeCustom(const QList<int> &indexs, const QList<Cell> &cells,
                            const char *slotName)
{
    if (indexs.size() < cells.size()) {
        qWarning("CameraBox: %s needs %d tiles and got %d; the layout stays as it is.", slotName,
                 int(cells.size()), int(indexs.size()));
        return;
    }
    QSet<int> seen;
    for (int k = 0; k < cells.size(); ++k) {
        const int index = indexs.at(k);
        if (!rangeExists(index, 1) || seen.contains(index)) {
            qWarning(
                "CameraBox: %s got tile %d, which is missing or listed twice; the layout stays "
                "as it is.",
                slotName, index);
            return;
        }
        seen.insert(index);
    }
    if (!hasGrid(slotName))
        return;
    hideCamera();
    // Only the placed tiles are shown: a visible tile outside the grid would float over it.
    for (int k = 0; k < cells.size(); ++k)
        placeTile(indexs.at(k), cells.at(k));
}

void CameraBox::changeCamera6(QList<int> indexs)
{
    placeCustom(indexs, WallLayout::cells(6), "changeCamera6");
}

void CameraBox::changeCamera8(QList<int> indexs)
{
    placeCustom(indexs, WallLayout::cells(8), "changeCamera8");
}

void CameraBox::changeCamera13(QList<int> indexs)
{
    placeCustom(indexs, WallLayout::cells(13), "changeCamera13");
}

void CameraBox::changeCamera4(int index)
{
    changeCameranormal(index, 2);
}

void CameraBox::changeCamera6(int index)
{
    changeCameracustom(index, 6);
}

void CameraBox::changeCamera8(int index)
{
    changeCameracustom(index, 8);
}

void CameraBox::changeCamera9(int index)
{
    changeCameranormal(index, 3);
}

void CameraBox::changeCamera13(int index)
{
    changeCameracustom(index, 13);
}

void CameraBox::changeCamera16(int index)
{
    changeCameranormal(index, 4);
}

void CameraBox::place(int type, int index)
{
    switch (type) {
    case 1:
        changeCamera1(index);
        break;
    case 2:
        changeCamera2(index);
        break;
    case 4:
        changeCamera4(index);
        break;
    case 6:
        changeCamera6(index);
        break;
    case 8:
        changeCamera8(index);
        break;
    case 9:
        changeCamera9(index);
        break;
    case 13:
        changeCamera13(index);
        break;
    case 16:
        changeCamera16(index);
        break;
    default:
        break;
    }
}

void CameraBox::showCamera(int type, int index)
{
    place(type, index);
    SetupConfig::instance()->setCamera(type, index);
    emit changeCamera(type, m_cameraType, false);
}

void CameraBox::chooseLayout(const QString &layout)
{
    const int type = typeOfLayout(layout);
    if (type == 0 || layout == m_cameraType)
        return;
    m_cameraType = layout;
    showCamera(type, tileOfCamera(layout.section(LayoutSeparator, 0, 0)));
}

void CameraBox::previewLayout(const QString &layout)
{
    const int type = typeOfLayout(layout);
    if (type == 0 || layout == m_cameraType)
        return;
    m_cameraType = layout;
    place(type, tileOfCamera(layout.section(LayoutSeparator, 0, 0)));
    emit changeCamera(type, m_cameraType, false);
}

// The first type, in ascending order, that offers the layout; 0 for none.
int CameraBox::typeOfLayout(const QString &layout) const
{
    for (auto it = m_cameraLayouts.cbegin(); it != m_cameraLayouts.cend(); ++it) {
        if (it.value().contains(layout))
            return it.key();
    }
    return 0;
}

QList<QWidget *> CameraBox::widgets() const
{
    return m_widgets;
}

void CameraBox::swapTiles(int first, int second)
{
    if (first == second || !rangeExists(first, 1) || !rangeExists(second, 1))
        return;
    QWidget *a = m_widgets.at(first);
    QWidget *b = m_widgets.at(second);
    m_widgets.swapItemsAt(first, second);
    if (!m_gridLayout)
        return;
    // Each takes the other's cell; one out of the grid leaves the other's cell to it and hides.
    const int itemA = m_gridLayout->indexOf(a);
    const int itemB = m_gridLayout->indexOf(b);
    Cell cellA{0, 0, 1, 1};
    Cell cellB{0, 0, 1, 1};
    if (itemA >= 0)
        m_gridLayout->getItemPosition(itemA, &cellA.row, &cellA.column, &cellA.rowSpan,
                                      &cellA.columnSpan);
    if (itemB >= 0)
        m_gridLayout->getItemPosition(itemB, &cellB.row, &cellB.column, &cellB.rowSpan,
                                      &cellB.columnSpan);
    m_gridLayout->removeWidget(a);
    m_gridLayout->removeWidget(b);
    if (itemA >= 0)
        placeTile(first, cellA);
    else
        b->setVisible(false);
    if (itemB >= 0)
        placeTile(second, cellB);
    else
        a->setVisible(false);
}

void CameraBox::showCamera()
{
    const QObject *action = sender();
    if (!action)
        return;
    const int index = tileOfCamera(action->property("index").toString());
    const int type = action->property("type").toInt();
    const QString flag = action->property("flag").toString();
    if (flag == m_cameraType)
        return;
    m_cameraType = flag;
    showCamera(type, index);
}

void CameraBox::restoreCamera()
{
    if (m_cameraType.startsWith(SingleViewPrefix)) {
        const int index = tileOfCamera(m_cameraType.section(LayoutSeparator, -1));
        if (!rangeExists(index, 1)) {
            qWarning().noquote() << QStringLiteral("CameraBox: the single view %1 names no tile; "
                                                   "nothing to restore.")
                                        .arg(m_cameraType);
            return;
        }
        changeCamera1(index);
        emit changeCamera(1, m_cameraType, true);
        return;
    }
    if (const int type = typeOfLayout(m_cameraType))
        showCamera(type, tileOfCamera(m_cameraType.section(LayoutSeparator, 0, 0)));
}

void CameraBox::initMenu(QMenu *menu, const QList<bool> &enable)
{
    const QList<int> types = menuTypes();
    if (!menu || enable.size() < types.size())
        return;
    for (int k = 0; k < types.size(); ++k) {
        if (enable.at(k))
            addCameraMenu(menu, types.at(k));
    }
}

void CameraBox::addCameraMenu(QMenu *menu, int type)
{
    const QString title = QStringLiteral("切换到%1%2").arg(QString::number(type), m_menuFlag);
    const QStringList layouts = m_cameraLayouts.value(type);
    QMenu *parent = layouts.size() > 1 ? menu->addMenu(title) : menu;
    for (const QString &layout : layouts) {
        const QStringList parts = layout.split(LayoutSeparator);
        const QString first = parts.first();
        const QString last = parts.last();
        const QString text = layouts.size() == 1
                                 ? title
                                 : QStringLiteral("%1%2-%1%3").arg(m_actionFlag, first, last);
        QAction *action = parent->addAction(text, this, SLOT(showCamera()));
        action->setProperty("index", first);
        action->setProperty("type", type);
        action->setProperty("flag", layout);
    }
}
