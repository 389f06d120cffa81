#pragma once

#include <QTreeWidget>

// The navigation tree of the side panel: three camera groups and the main pages. A click on any
// item reports the item's source text (as written, before translation), which the main window
// maps to a page whatever language the tree shows.
class TreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    // Where an item keeps its source text.
    static constexpr int SourceTextRole = Qt::UserRole;
    // The source texts of the items that name pages: the camera wall, the chart page and, with
    // its number, a camera's detail page.
    static constexpr const char *CameraWallItem = QT_TR_NOOP("相机");
    static constexpr const char *ChartItem = QT_TR_NOOP("图表");
    static constexpr const char *CameraItem = QT_TR_NOOP("相机%1");

    explicit TreeWidget(QWidget *parent = nullptr);

signals:
    void signalClicked(QString txt);

private slots:
    // Driven by a single click (itemClicked), whatever its name says.
    void slotItemDoubleClicked(QTreeWidgetItem *item, int column);

private:
    Q_DISABLE_COPY(TreeWidget)
};
