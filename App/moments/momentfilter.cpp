#include "momentfilter.h"

#include <QStringList>

namespace
{

// LIKE's own wildcards in what the operator typed match themselves.
QString likePattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

QString MomentFilter::condition(QVariantList *values) const
{
    QStringList parts;
    if (camera > 0) {
        parts << QStringLiteral("camera = ?");
        *values << camera;
    }
    if (!reason.trimmed().isEmpty()) {
        parts << QStringLiteral("reason LIKE ? ESCAPE '\\'");
        *values << likePattern(reason.trimmed());
    }
    if (fromMs > 0) {
        parts << QStringLiteral("time_ms >= ?");
        *values << fromMs;
    }
    if (toMs > 0) {
        parts << QStringLiteral("time_ms <= ?");
        *values << toMs;
    }
    return parts.isEmpty() ? QStringLiteral("1") : parts.join(QStringLiteral(" AND "));
}
