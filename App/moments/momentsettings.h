#pragma once

#include <QVariant>

// The [Moments] entries of the INI file: how much disk the kept pictures may take, how long
// they are kept and the JPEG quality they are written with. A missing entry gives its default;
// one that is not a whole number in its range gives the default and a line on the log.
struct MomentSettings {
    static constexpr int DefaultMaxMegabytes = 500;
    static constexpr int DefaultMaxDays = 30;
    static constexpr int DefaultJpegQuality = 85;

    static constexpr qint64 BytesPerMegabyte = 1024 * 1024;
    static constexpr qint64 MsPerDay = 24LL * 3600 * 1000;

    // The pictures' and the index rows' share of the disk.
    qint64 maxBytes = DefaultMaxMegabytes * BytesPerMegabyte;
    qint64 maxAgeMs = DefaultMaxDays * MsPerDay;
    int jpegQuality = DefaultJpegQuality;

    // From the configuration store.
    static MomentSettings read();
    // From the entries' raw values (invalid when missing).
    static MomentSettings parse(const QVariant &maxMegabytes, const QVariant &maxDays,
                                const QVariant &jpegQuality);
};
