#pragma once

#include <QWidget>

class AWidget;
class BWidget;
class CStackedWidget;
class CTextEdit;
class QHBoxLayout;
class QLabel;
class QSplitter;
class QToolButton;
class QVBoxLayout;

// The detail page of one camera: the header bar of a camera tile (styled alike through the same
// object names) with an extend button, then a splitter with a two-page stack (parameters and
// charts) above a log box. The index button flips the stack, building the chart page the first
// time; the extend button folds the parameter fields away and back.
class CameraParam : public QWidget
{
    Q_OBJECT

public:
    static constexpr int StackStretch = 6;
    static constexpr int LogStretch = 2;

    explicit CameraParam(QWidget *parent = nullptr);

    void setIndex(const QString &index);
    void setTitle(const QString &title);
    void setState(const QString &state);
    // A row below the log that another part of the console fills; the page takes it over.
    void addStrip(QWidget *strip);

private:
    Q_DISABLE_COPY(CameraParam)

    void initUI();
    void initConnections();
    void switchPage();

    QVBoxLayout *m_mainLayout = nullptr;
    QWidget *m_topWidget = nullptr;
    QHBoxLayout *m_topLayout = nullptr;
    QToolButton *m_indexButton = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_stateLabel = nullptr;
    QToolButton *m_extendButton = nullptr;
    QSplitter *m_splitter = nullptr;
    CStackedWidget *m_stackedWidget = nullptr;
    AWidget *m_paramWidget = nullptr;
    BWidget *m_chartWidget = nullptr;
    CTextEdit *m_logTextEdit = nullptr;
};
