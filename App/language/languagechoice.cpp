#include "languagechoice.h"

#include <QLocale>

namespace
{

// The console's language for a system language name ("en-GB", "zh-TW"), or an empty string.
QString languageOf(const QString &name)
{
    switch (QLocale(name).language()) {
    case QLocale::English:
        return LanguageChoice::english();
    case QLocale::Chinese:
        return LanguageChoice::chinese();
    default:
        return QString();
    }
}

// The known value the entry holds, in its own spelling, or an empty string. A value with a
// comma reads back from the INI file as a list, which names no language.
QString knownSetting(const QVariant &setting)
{
    if (setting.type() != QVariant::String)
        return QString();
    const QString text = setting.toString().trimmed();
    for (const QString &known : LanguageChoice::settings()) {
        if (text.compare(known, Qt::CaseInsensitive) == 0)
            return known;
    }
    return QString();
}

} // namespace

LanguageChoice::Result LanguageChoice::resolve(const QVariant &setting,
                                               const QStringList &systemLanguages)
{
    const QString value = knownSetting(setting);
    if (value.isEmpty()) {
        // An empty entry ("Language=") is one not filled in, as a missing one.
        const bool unset = !setting.isValid() || (setting.type() == QVariant::String &&
                                                  setting.toString().trimmed().isEmpty());
        return {chinese(), unset};
    }
    if (value != system())
        return {value, true};
    for (const QString &name : systemLanguages) {
        const QString language = languageOf(name);
        if (!language.isEmpty())
            return {language, true};
    }
    return {chinese(), true};
}

QString LanguageChoice::normalisedSetting(const QVariant &setting)
{
    const QString value = knownSetting(setting);
    return value.isEmpty() ? chinese() : value;
}
