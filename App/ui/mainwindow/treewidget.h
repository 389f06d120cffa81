#pragma once

#include <QTreeWidget>

// The navigation tree of the side panel: three camera groups and the main pages. A click on any
// item reports the item's source text (as written, before translation), which the main window
// maps to a page whatever language the tree shows; a camera dragged out of it carries its
// channel to the camera wall.
class TreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    // The channel number of a camera item.
    static constexpr int ChannelRole = Qt::UserRole;
    // Where an item keeps its source text.
    static constexpr int SourceTextRole = Qt::UserRole + 1;
    // The source texts of the items that name pages: the camera wall, the chart page, the NG
    // moments and, with its number, a camera's detail page.
    static constexpr const char *CameraWallItem = QT_TR_NOOP("相机");
    static constexpr const char *ChartItem = QT_TR_NOOP("图表");
    static constexpr const char *MomentsItem = QT_TR_NOOP("NG画面");
    static constexpr const char *CameraItem = QT_TR_NOOP("相机%1");

    explicit TreeWidget(QWidget *parent = nullptr);

signals:
    void signalClicked(QString txt);

private slots:
    // Driven by a single click (itemClicked), whatever its name says.
    void slotItemDoubleClicked(QTreeWidgetItem *item, int column);

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> items) const override;
    // Copy only: a move would take the item out of the tree.
    Qt::DropActions supportedDropActions() const override;

private:
    Q_DISABLE_COPY(TreeWidget)
};
