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
class VideoChannel;
class VideoView;

// The detail page of one camera: the header bar of a camera tile (styled alike through the same
// object names) with an extend button, then a splitter with a two-page stack (parameters and
// charts) above a log box. The index button flips the stack, building the chart page the first
// time; the extend button folds the parameter fields away and back. A page bound to a camera
// shows its main stream in the parameter page, where the caption was, beside the parameters
// and growing into their room when they are folded away.
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
    // A state value as the camera tiles take it (0 NG, 1 OK, other unknown), coloured alike.
    void setState(int state);
    void setStateToolTip(const QString &text);
    CTextEdit *logTextEdit() const { return m_logTextEdit; }

    // The camera the page shows: its name as the title and its main stream in the parameter
    // page. nullptr (no camera configured) leaves the page as it is.
    void bindChannel(int number, VideoChannel *channel);
    int channelNumber() const { return m_channelNumber; }
    // Whether the page is the one shown; the picture is asked for only then, and only while the
    // parameter page is up.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    VideoView *videoView() const { return m_videoView; }

private:
    Q_DISABLE_COPY(CameraParam)

    void initUI();
    void initConnections();
    void switchPage();
    void updateVideoStream();

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
    VideoView *m_videoView = nullptr;
    int m_channelNumber = 0;
    bool m_active = false;
};
