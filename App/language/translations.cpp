#include "translations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "common/config/setupconfig.h"
#include "language/languagechoice.h"

namespace
{

QString installed = LanguageChoice::chinese();

} // namespace

Translations::Translations() = default;

Translations::~Translations()
{
    remove();
}

QString Translations::catalogue(const QString &language)
{
    if (language == LanguageChoice::chinese())
        return QString();
    return QStringLiteral(":/i18n/console_%1.qm").arg(language);
}

bool Translations::install(const QString &language)
{
    remove();
    installed = language;
    bool loaded = true;

    const QString own = catalogue(language);
    if (!own.isEmpty()) {
        m_console = std::make_unique<QTranslator>();
        if (m_console->load(own)) {
            QCoreApplication::installTranslator(m_console.get());
        } else {
            qWarning().noquote() << QStringLiteral("Translations: the console's catalogue %1 "
                                                   "cannot be read; its texts stay in Chinese.")
                                        .arg(own);
            m_console.reset();
            loaded = false;
        }
    }

    // Qt's catalogues are named after the locale ("qtbase_zh_CN", "qtbase_en").
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    const QString qtName = QStringLiteral("qtbase_") + language;
    m_qt = std::make_unique<QTranslator>();
    if (m_qt->load(qtName, folder)) {
        QCoreApplication::installTranslator(m_qt.get());
    } else {
        qWarning().noquote() << QStringLiteral("Translations: Qt's catalogue %1 is not in %2; "
                                               "Qt's own dialogs keep their English texts.")
                                    .arg(qtName, folder);
        m_qt.reset();
        loaded = false;
    }
    return loaded;
}

void Translations::remove()
{
    if (m_console)
        QCoreApplication::removeTranslator(m_console.get());
    if (m_qt)
        QCoreApplication::removeTranslator(m_qt.get());
    m_console.reset();
    m_qt.reset();
    installed = LanguageChoice::chinese();
}

QString Translations::installedLanguage()
{
    return installed;
}

QString Translations::chosenLanguage()
{
    const QVariant setting = SetupConfig::instance()->value(LanguageChoice::settingKey());
    const LanguageChoice::Result result =
        LanguageChoice::resolve(setting, QLocale::system().uiLanguages());
    if (!result.understood)
        qWarning().noquote() << QStringLiteral("Translations: [Config] Language = \"%1\" is none "
                                               "of %2; the console speaks Chinese.")
                                    .arg(setting.toStringList().join(QLatin1Char(',')),
                                         LanguageChoice::settings().join(QStringLiteral(", ")));
    return result.language;
}
