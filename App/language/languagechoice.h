#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// Which language the console shows, decided from the "[Config] Language" entry of the INI file
// and the system's preferred languages. Chinese is the language the texts are written in, so it
// is what a console shows when nothing else is chosen.
class LanguageChoice
{
public:
    // The languages the console has: its own texts, and their one translation.
    static QString chinese() { return QStringLiteral("zh_CN"); }
    static QString english() { return QStringLiteral("en"); }
    // The entry's third value: whatever the system prefers.
    static QString system() { return QStringLiteral("system"); }
    static QString settingKey() { return QStringLiteral("Config/Language"); }
    // The entry's values in the order the language menu offers them.
    static QStringList settings() { return {chinese(), english(), system()}; }

    struct Result {
        // chinese() or english().
        QString language;
        // False when the entry holds a value the console does not know, which then falls back
        // to Chinese and deserves a line on the log.
        bool understood = true;
    };

    // The language for an entry (an invalid variant when the file has none) and the system's
    // preferred languages, most preferred first ("de-DE", "en-GB"): "system" takes the first
    // of them the console has, and Chinese when it has none of them.
    static Result resolve(const QVariant &setting, const QStringList &systemLanguages);

    // The entry's value as the language menu shows it checked: the known value it means, or
    // chinese() for a missing or unknown one.
    static QString normalisedSetting(const QVariant &setting);
};
