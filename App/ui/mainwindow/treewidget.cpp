#include "treewidget.h"

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
        for (int n = GroupFirstCamera[g]; n < GroupFirstCamera[g] + CamerasPerGroup; ++n)
            groups.at(g)->addChild(
                new QTreeWidgetItem(QStringList(QStringLiteral("相机%1").arg(n))));
    }
    QTreeWidgetItem *main = groups.last();
    main->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("相机"))));
    main->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("图表"))));
    main->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("NG画面"))));

    connect(this, &QTreeWidget::itemClicked, this, &TreeWidget::slotItemDoubleClicked);
}

void TreeWidget::slotItemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    emit signalClicked(item->text(0));
}
