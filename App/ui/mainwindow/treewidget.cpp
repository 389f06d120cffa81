#include "treewidget.h"

#include "wall/channeldrag.h"

#include <iterator>

namespace
{

constexpr int CamerasPerGroup = 6;

// The first camera of each group; neighbouring groups share one camera.
constexpr int GroupFirstCamera[] = {1, 6, 11};

} // namespace

TreeWidget::TreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);

    QList<QTreeWidgetItem *> groups;
    for (const QString &name : {QStringLiteral("A盘"), QStringLiteral("B盘"), QStringLiteral("C盘"),
                                QStringLiteral("主体")})
        groups.append(new QTreeWidgetItem(QStringList(name)));
    insertTopLevelItems(0, groups);

    for (int g = 0; g < int(std::size(GroupFirstCamera)); ++g) {
        for (int n = GroupFirstCamera[g]; n < GroupFirstCamera[g] + CamerasPerGroup; ++n) {
            auto *camera = new QTreeWidgetItem(QStringList(QStringLiteral("相机%1").arg(n)));
            camera->setData(0, ChannelRole, n);
            groups.at(g)->addChild(camera);
        }
    }
    QTreeWidgetItem *main = groups.last();
    main->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("相机"))));
    main->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("图表"))));

    // Cameras are dragged out, never moved: a copy leaves the tree as it is.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);

    connect(this, &QTreeWidget::itemClicked, this, &TreeWidget::slotItemDoubleClicked);
}

Qt::DropActions TreeWidget::supportedDropActions() const
{
    return Qt::CopyAction;
}

QStringList TreeWidget::mimeTypes() const
{
    return {ChannelDrag::mimeType()};
}

// Only a camera has a channel to carry; a drag of any other item does not start.
QMimeData *TreeWidget::mimeData(const QList<QTreeWidgetItem *> items) const
{
    if (items.size() != 1)
        return nullptr;
    bool ok = false;
    const int channel = items.first()->data(0, ChannelRole).toInt(&ok);
    return ok ? ChannelDrag::mimeData(channel) : nullptr;
}

void TreeWidget::slotItemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    emit signalClicked(item->text(0));
}
