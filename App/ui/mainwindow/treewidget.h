#pragma once

#include <QTreeWidget>

// The navigation tree of the side panel: three camera groups and the main pages. A click on any
// item reports the item's text, which the main window maps to a page.
class TreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TreeWidget(QWidget *parent = nullptr);

signals:
    void signalClicked(QString txt);

private slots:
    // Driven by a single click (itemClicked), whatever its name says.
    void slotItemDoubleClicked(QTreeWidgetItem *item, int column);

private:
    Q_DISABLE_COPY(TreeWidget)
};
