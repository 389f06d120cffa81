#pragma once

#include <QString>

#include <memory>

class QTranslator;

// The console's own catalogue and Qt's for one language, installed in the application: every
// text translated after install() (the windows are built after it) and Qt's own dialogs and
// menus speak that language. Removed again when the object goes.
class Translations
{
public:
    Translations();
    ~Translations();

    // LanguageChoice::chinese() or english(). Chinese needs no catalogue of the console's, its
    // texts are written in it. False when a catalogue could not be loaded (said on the log);
    // those texts then stay as written.
    bool install(const QString &language);

    // The console's compiled-in catalogue of a language, or an empty string for Chinese.
    static QString catalogue(const QString &language);

    // The language the configuration store asks for, with the system's preferred languages;
    // an entry the console does not know is reported on the log.
    static QString chosenLanguage();

    // The language the windows are built in: the one last installed, Chinese before any.
    static QString installedLanguage();

private:
    Q_DISABLE_COPY(Translations)

    void remove();

    std::unique_ptr<QTranslator> m_console;
    std::unique_ptr<QTranslator> m_qt;
};
