#pragma once

#include <QWidget>

class CTextEdit;
class QSplitter;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class TreeWidget;

// The content of the main window's dock: the navigation tree above, and below it the tabs
// "功能" (three function buttons) and "日志" (a text box). Passes the tree's clicks on.
class SidePanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TreeStretch = 10;
    static constexpr int TabStretch = 2;

    explicit SidePanel(QWidget *parent = nullptr);

    TreeWidget *treeWidget() const { return m_treeWidget; }
    QTabWidget *tabWidget() const { return m_tabWidget; }

signals:
    void signalClicked(QString txt);

protected:
    // Paints the style sheet's background for "LeftPanel".
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(SidePanel)

    QVBoxLayout *m_mainLayout = nullptr;
    QSplitter *m_splitter = nullptr;
    TreeWidget *m_treeWidget = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    QWidget *m_functionPage = nullptr;
    QVBoxLayout *m_functionLayout = nullptr;
    QToolButton *m_setupButton = nullptr;
    QToolButton *m_pauseButton = nullptr;
    QToolButton *m_waitButton = nullptr;
    CTextEdit *m_logTextEdit = nullptr;
};
