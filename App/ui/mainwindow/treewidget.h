#pragma once

#include <QTreeWidget>

// The navigation tree of the side panel: three camera groups and the main pages. A click on any
// item reports the item's text, which the main window maps to a page; a camera dragged out of
// it carries its channel to the camera wall.
class TreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    // The channel number of a camera item.
    static constexpr int ChannelRole = Qt::UserRole;

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
