#pragma once

#include <QString>
#include <QStringList>

#include "video/videoproblem.h"

// Where a channel's picture comes from, as read from its Source or GridSource entry:
//   rtsp://[user:password@]host[:port]/path   an RTSP camera (rtsps:// over TLS)
//   http(s)://host[:port]/path                an MJPEG stream
//   /path/file, relative/file, file:///path  a video file, played in a loop
//   test:<pattern>                            a generated picture (test:smpte, test:ball, ...)
// Parsing checks the text only; whether the file exists or the camera answers shows when the
// channel plays.
class VideoSource
{
public:
    enum class Kind { None, Rtsp, Http, File, Test, Invalid };

    // An empty text gives Kind::None. A relative file path is taken from baseDir.
    static VideoSource parse(const QString &text, const QString &baseDir = QString());

    Kind kind() const { return m_kind; }
    VideoProblem problem() const { return m_problem; }
    bool isPlayable() const { return m_kind != Kind::None && m_kind != Kind::Invalid; }

    // For Rtsp and Http the URL, for File the absolute path, for Test the pattern's name.
    QString location() const { return m_location; }
    // The text as given, with a URL password masked: for the log and the screen.
    QString shown() const { return m_shown; }

    // The names that test:<pattern> accepts.
    static QStringList testPatterns();

    bool operator==(const VideoSource &other) const
    {
        return m_kind == other.m_kind && m_problem == other.m_problem &&
               m_location == other.m_location;
    }
    bool operator!=(const VideoSource &other) const { return !(*this == other); }

private:
    Kind m_kind = Kind::None;
    VideoProblem m_problem = VideoProblem::None;
    QString m_location;
    QString m_shown;
};
