#include "momentsettings.h"

#include <QDebug>

#include "common/config/setupconfig.h"

namespace
{

constexpr int MaxMegabytesLimit = 1024 * 1024;
constexpr int MaxDaysLimit = 3650;
constexpr int MinJpegQuality = 1;
constexpr int MaxJpegQuality = 100;

int entry(const QVariant &raw, const char *key, int low, int high, int fallback)
{
    if (!raw.isValid())
        return fallback;
    bool ok = false;
    const int value = raw.toString().trimmed().toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    qWarning().noquote() << QStringLiteral("Moments: [Moments] %1=\"%2\" is not a whole number "
                                           "from %3 to %4; using %5.")
                                .arg(QLatin1String(key), raw.toString())
                                .arg(low)
                                .arg(high)
                                .arg(fallback);
    return fallback;
}

} // namespace

MomentSettings MomentSettings::parse(const QVariant &maxMegabytes, const QVariant &maxDays,
                                     const QVariant &jpegQuality)
{
    MomentSettings s;
    s.maxBytes = entry(maxMegabytes, "MaxMegabytes", 1, MaxMegabytesLimit, DefaultMaxMegabytes) *
                 BytesPerMegabyte;
    s.maxAgeMs = entry(maxDays, "MaxDays", 1, MaxDaysLimit, DefaultMaxDays) * MsPerDay;
    s.jpegQuality =
        entry(jpegQuality, "JpegQuality", MinJpegQuality, MaxJpegQuality, DefaultJpegQuality);
    return s;
}

MomentSettings MomentSettings::read()
{
    const SetupConfig *config = SetupConfig::instance();
    return parse(config->value(QStringLiteral("Moments/MaxMegabytes")),
                 config->value(QStringLiteral("Moments/MaxDays")),
                 config->value(QStringLiteral("Moments/JpegQuality")));
}
