#include "treewidget.h"

#include "wall/channeldrag.h"

#include <iterator>

namespace
{

constexpr int CamerasPerGroup = 6;

// The first camera of each group; neighbouring groups share one camera.
constexpr int GroupFirstCamera[] = {1, 6, 11};

const char *const GroupItems[] = {
    QT_TRANSLATE_NOOP("TreeWidget", "A盘"), QT_TRANSLATE_NOOP("TreeWidget", "B盘"),
    QT_TRANSLATE_NOOP("TreeWidget", "C盘"), QT_TRANSLATE_NOOP("TreeWidget", "主体")};

// An item showing the translation of its source text, which it keeps for the clicks. A number
// fills the text's "%1" in both.
QTreeWidgetItem *newItem(const char *source, int number = 0)
{
    QString text = TreeWidget::tr(source);
    QString kept = QString::fromUtf8(source);
    if (number > 0) {
        text = text.arg(number);
        kept = kept.arg(number);
    }
    auto *item = new QTreeWidgetItem(QStringList(text));
    item->setData(0, TreeWidget::SourceTextRole, kept);
    return item;
}

} // namespace

TreeWidget::TreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);

    QList<QTreeWidgetItem *> groups;
    for (const char *group : GroupItems)
        groups.append(newItem(group));
    insertTopLevelItems(0, groups);

    for (int g = 0; g < int(std::size(GroupFirstCamera)); ++g) {
        for (int n = GroupFirstCamera[g]; n < GroupFirstCamera[g] + CamerasPerGroup; ++n) {
            QTreeWidgetItem *camera = newItem(CameraItem, n);
            camera->setData(0, ChannelRole, n);
            groups.at(g)->addChild(camera);
        }
    }
    QTreeWidgetItem *main = groups.last();
    main->addChild(newItem(CameraWallItem));
    main->addChild(newItem(ChartItem));
    main->addChild(newItem(MomentsItem));

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
    emit signalClicked(item->data(0, SourceTextRole).toString());
}
