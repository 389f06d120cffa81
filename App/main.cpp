#include <QApplication>
#include <QWidget>

#include "common/config/setupconfig.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath());
    QWidget placeholder;
    return app.exec();
}
