#include "credentials.h"

#include <QRegularExpression>

namespace
{

// scheme "://" user ":" password "@": the password runs to the last "@" before the host, so
// that a password holding "@" is masked whole. The user part holds no ":", "/" or "@".
const QRegularExpression &urlPassword()
{
    static const QRegularExpression pattern(
        QStringLiteral("([A-Za-z][A-Za-z0-9+.-]*://[^\\s:/@]*:)([^\\s/]*)@"));
    return pattern;
}

} // namespace

QString Credentials::masked(const QString &text)
{
    QString result = text;
    result.replace(urlPassword(), QStringLiteral("\\1***@"));
    return result;
}

bool Credentials::hasUrlPassword(const QString &text)
{
    return urlPassword().match(text).hasMatch();
}

bool Credentials::isSecretEntry(const QString &key, const QString &value)
{
    const QString name = key.section(QLatin1Char('/'), -1);
    if (name.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0)
        return !value.isEmpty();
    return hasUrlPassword(value);
}
