#include "capturewarning.h"

#include "moments/momentstore.h"

CaptureWarning::CaptureWarning(MomentStore *store, QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("MomentsCaptureWarning"));
    setWordWrap(true);
    connect(store, &MomentStore::captureStopped, this, &CaptureWarning::showReason);
    connect(store, &MomentStore::captureResumed, this, &QWidget::hide);
    if (store->capturing())
        hide();
    else
        showReason(store->haltReason());
}

void CaptureWarning::showReason(const QString &why)
{
    setText(tr("NG 画面已停止保存：%1。可以写入后自动恢复。").arg(why));
    show();
}
