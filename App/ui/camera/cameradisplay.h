#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "video/videochannel.h"

class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;
class VideoView;

// One tile of the camera wall: a header bar (index button, state, title) above the camera's
// picture, or above a caption while the tile shows no camera. Its look comes from the theme,
// which selects on the object names.
class CameraDisplay : public QWidget
{
    Q_OBJECT

public:
    static constexpr int HeaderHeight = 32;
    static constexpr int IndexButtonWidth = 50;
    static constexpr int TitleLabelWidth = 50;

    // The header bar: index button, state label and title label, left to right. The camera
    // detail page repeats it, and the theme styles both alike through its object names.
    struct Header {
        QWidget *topWidget;
        QHBoxLayout *topLayout;
        QToolButton *indexButton;
        QLabel *stateLabel;
        QLabel *titleLabel;
    };
    static Header createHeader();

    explicit CameraDisplay(QWidget *parent = nullptr);

    QString index() const;
    void setIndex(const QString &index);
    QString title() const;
    void setTitle(const QString &title);
    QString state() const;
    void setState(int state);
    QString videoText() const;
    void setVideoText(const QString &text);
    // The picture area as it is on screen, for a snapshot.
    QImage snapshot() const;

    // The text the state label shows for a state value.
    static QString stateText(int state);
    // The value of the state label's "verdict" property for a state ("ok", "ng", "unknown"):
    // the theme fills the label's area by it.
    static QString verdictOf(int state);
    // Shows a state on a header's state label: its text and the property the theme selects on.
    static void showState(QLabel *stateLabel, int state);

    // What the operator reads when pointing at the state: the verdict's time and reason.
    void setStateToolTip(const QString &text);

    // Which channel the tile shows. One call sets the index ("C07"), the caption ("通道 7"), the
    // title (the camera's name; "Unknow" without one) and the picture: the channel's, or the
    // caption alone when channel is nullptr (no camera configured).
    void bindChannel(int number, VideoChannel *channel);
    int channelNumber() const { return m_channelNumber; }
    VideoChannel *channel() const;
    // The channel's stream the tile asks for while it is on screen.
    void setVideoStream(VideoChannel::Stream stream);
    // The picture; nullptr while the tile has never shown a camera.
    VideoView *videoView() const { return m_videoView; }

signals:
    void clickIndex(QString index, QString title, QString state);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(CameraDisplay)

    void emitClickIndex();

    QVBoxLayout *m_mainLayout = nullptr;
    QWidget *m_topWidget = nullptr;
    QHBoxLayout *m_topLayout = nullptr;
    QToolButton *m_indexButton = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_stateLabel = nullptr;
    QLabel *m_videoLabel = nullptr;
    VideoView *m_videoView = nullptr;
    int m_channelNumber = 0;
    VideoChannel::Stream m_videoStream = VideoChannel::Stream::None;
};
