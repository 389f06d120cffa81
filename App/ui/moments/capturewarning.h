#pragma once

#include <QLabel>

class MomentStore;

// The wall's line that says NG moments are not being kept (folder not writable, disk full) and
// why; hidden while capture runs.
class CaptureWarning : public QLabel
{
    Q_OBJECT

public:
    explicit CaptureWarning(MomentStore *store, QWidget *parent = nullptr);

private:
    Q_DISABLE_COPY(CaptureWarning)

    void showReason(const QString &why);
};
