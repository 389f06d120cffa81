#pragma once

#include <QString>

// Passwords in texts that the console writes to its log or shows: a URL's password is replaced
// by "***" wherever such a text leaves the program, and a file that stores one is kept private.
class Credentials
{
public:
    // Every "scheme://user:password@" in the text becomes "scheme://user:***@"; a URL with a
    // user and no password is left as it is.
    static QString masked(const QString &text);

    // Whether the text holds a URL with a password.
    static bool hasUrlPassword(const QString &text);

    // Whether an INI entry holds a secret: a non-empty "Password" key, or a URL with a password.
    static bool isSecretEntry(const QString &key, const QString &value);

private:
    Credentials() = delete;
};
