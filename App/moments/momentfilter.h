#pragma once

#include <QString>
#include <QVariantList>

// Which moments a list shows: one camera or all, a part of the reason, a time range, and at
// most how many of the newest.
struct MomentFilter {
    // 0: every camera.
    int camera = 0;
    // Matched anywhere in the reason, ignoring case; empty: any reason.
    QString reason;
    // Milliseconds since the epoch, both ends included; 0: open.
    qint64 fromMs = 0;
    qint64 toMs = 0;
    // 0: all of them.
    int limit = 0;

    // The SQL condition ("1" for none) with its values in order.
    QString condition(QVariantList *values) const;

    bool operator==(const MomentFilter &other) const
    {
        return camera == other.camera && reason == other.reason && fromMs == other.fromMs &&
               toMs == other.toMs && limit == other.limit;
    }
    bool operator!=(const MomentFilter &other) const { return !(*this == other); }
};
