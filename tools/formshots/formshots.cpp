// Renders the windows that the console's main window only opens on demand (login form, close
// prompt, user card, popup menu) in every theme, side by side, into "<theme>-dialogs.png"; in
// another language than Chinese into "<language>-<theme>-dialogs.png".
//   formshots <folder with the console's config folder> <output folder> [zh_CN | en]
#include <QApplication>
#include <QDir>
#include <QPainter>

#include <cstdio>

#include "common/config/setupconfig.h"
#include "language/languagechoice.h"
#include "language/translations.h"
#include "ui/common/cmessagebox.h"
#include "ui/common/popupmenu.h"
#include "ui/login/logininfo.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/theme/thememanager.h"

namespace
{

constexpr int Gap = 16;

QImage sideBySide(const QList<QWidget *> &windows)
{
    QList<QImage> shots;
    QSize size(Gap, 0);
    for (QWidget *window : windows) {
        window->show();
        shots << window->grab().toImage();
        size = QSize(size.width() + shots.last().width() + Gap,
                     qMax(size.height(), shots.last().height()));
    }
    QImage image(size + QSize(0, 2 * Gap), QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    int x = Gap;
    for (const QImage &shot : qAsConst(shots)) {
        painter.drawImage(x, Gap, shot);
        x += shot.width() + Gap;
    }
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: formshots <console folder> <output folder> [zh_CN | en]\n");
        return 2;
    }
    const QString language =
        argc == 4 ? QString::fromLocal8Bit(argv[3]) : LanguageChoice::chinese();
    if (!LanguageChoice::settings().contains(language) || language == LanguageChoice::system()) {
        std::fprintf(stderr, "formshots: no language %s\n", argv[3]);
        return 2;
    }
    Translations translations;
    if (!translations.install(language))
        return 1;
    const QString prefix =
        language == LanguageChoice::chinese() ? QString() : language + QLatin1Char('-');
    SetupConfig::instance()->setAppDir(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (const QString &theme : ThemeManager::themeNames()) {
        if (!ThemeManager::applyTheme(theme))
            return 1;
        LoginWidget login;
        login.setBackgroundImage(SetupConfig::instance()->loginBackgroundPath());
        CMessageBox prompt;
        prompt.setMessageType(CMessageBox::Warning);
        prompt.setButtonType(CMessageBox::ConfirmAndCancel);
        prompt.setMessageText(MainWindow::closeQuestion());
        LoginInfo card;
        card.setFixedSize(MainWindow::CardWidth, MainWindow::CardHeight);
        PopupMenu popup;
        popup.setFixedSize(MainWindow::PopupWidth, MainWindow::PopupHeight);
        const QString file = out.filePath(prefix + theme + QStringLiteral("-dialogs.png"));
        if (!sideBySide({&login, &prompt, &card, &popup}).save(file))
            return 1;
        std::printf("saved %s\n", qPrintable(file));
    }
    return 0;
}
