#include "videosource.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <algorithm>

#include "common/credentials.h"

namespace
{

const QString TestScheme = QStringLiteral("test");
const QString FileScheme = QStringLiteral("file");
const QString SchemeSeparator = QStringLiteral("://");

// A URL scheme at the start of the text: a letter, then letters, digits, "+", "." or "-".
QString schemeOf(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch match = scheme.match(text);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// scheme "://" host, with an optional port in range and no blanks.
bool isNetworkUrl(const QString &text, const QString &scheme)
{
    if (!text.mid(scheme.size()).startsWith(SchemeSeparator) || text.contains(QLatin1Char(' ')))
        return false;
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() && url.port() != 0;
}

} // namespace

QStringList VideoSource::testPatterns()
{
    return {QStringLiteral("smpte"),    QStringLiteral("ball"),     QStringLiteral("red"),
            QStringLiteral("green"),    QStringLiteral("blue"),     QStringLiteral("black"),
            QStringLiteral("white"),    QStringLiteral("snow"),     QStringLiteral("smpte75"),
            QStringLiteral("gradient"), QStringLiteral("pinwheel"), QStringLiteral("colors")};
}

VideoSource VideoSource::parse(const QString &text, const QString &baseDir)
{
    VideoSource source;
    const QString given = text.trimmed();
    if (given.isEmpty())
        return source;
    source.m_shown = Credentials::masked(given);

    auto invalid = [&source](VideoProblem problem) {
        source.m_kind = Kind::Invalid;
        source.m_problem = problem;
        return source;
    };
    if (hasControlCharacter(given))
        return invalid(VideoProblem::MalformedUrl);

    const QString scheme = schemeOf(given);
    if (scheme == TestScheme) {
        const QString pattern = given.mid(TestScheme.size() + 1);
        if (!testPatterns().contains(pattern))
            return invalid(VideoProblem::UnknownPattern);
        source.m_kind = Kind::Test;
        source.m_location = pattern;
        return source;
    }
    if (scheme == QLatin1String("rtsp") || scheme == QLatin1String("rtsps") ||
        scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!isNetworkUrl(given, scheme))
            return invalid(VideoProblem::MalformedUrl);
        source.m_kind = scheme.startsWith(QLatin1String("rtsp")) ? Kind::Rtsp : Kind::Http;
        source.m_location = given;
        return source;
    }
    if (scheme == FileScheme) {
        // Written by hand, a file URL may well hold blanks.
        const QUrl url(given, QUrl::TolerantMode);
        const QString host = url.host();
        if (!url.isValid() || !given.startsWith(FileScheme + SchemeSeparator) ||
            (!host.isEmpty() && host != QLatin1String("localhost")) || url.path().size() < 2)
            return invalid(VideoProblem::MalformedUrl);
        source.m_kind = Kind::File;
        source.m_location = QDir::cleanPath(url.path());
        return source;
    }
    if (!scheme.isEmpty())
        return invalid(VideoProblem::UnknownScheme);
    if (given.contains(SchemeSeparator))
        return invalid(VideoProblem::MalformedUrl);

    source.m_kind = Kind::File;
    source.m_location = QDir::cleanPath(QDir(baseDir).absoluteFilePath(given));
    return source;
}
