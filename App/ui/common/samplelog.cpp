#include "samplelog.h"

#include <QCoreApplication>

namespace
{

struct Line {
    const char *stamp;
    const char *sentence;
};

const Line Lines[] = {
    {"001 2023/03/21 10:53:31.478 ",
     QT_TRANSLATE_NOOP("SampleLog",
                       "系统启动完成，相机一至相机十六已全部连接，当前采用十六画面布局，"
                       "操作员可以开始巡检工作。")},
    {"002 2023/03/21 10:53:45.142 ",
     QT_TRANSLATE_NOOP("SampleLog",
                       "相机三报告曝光时间偏长，画面亮度高于设定范围，建议检查现场光源或"
                       "适当调低曝光参数后重试。")},
    {"003 2023/03/21 10:53:49.342 ",
     QT_TRANSLATE_NOOP("SampleLog",
                       "相机七图像采集正常，本批次产品外观检测合格率为百分之九十九点二，"
                       "未发现明显的划痕缺陷。")},
    {"004 2023/03/21 10:53:52.254 ",
     QT_TRANSLATE_NOOP("SampleLog",
                       "相机十二连续三帧未收到图像数据，已自动尝试重新连接，请留意该相机"
                       "的网络线路与供电状态。")},
    {"005 2023/03/21 10:53:56.531 ",
     QT_TRANSLATE_NOOP("SampleLog",
                       "操作员切换到深蓝主题并保存了当前画面布局，下次启动时将自动恢复本次"
                       "的布局与主题。")},
};

} // namespace

QString SampleLog::text()
{
    QString text;
    for (const Line &line : Lines) {
        text += QLatin1String(line.stamp) +
                QCoreApplication::translate("SampleLog", line.sentence) + QLatin1Char('\n');
    }
    return text;
}
