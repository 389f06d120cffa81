#pragma once

// Small helpers shared by the tests: real files in real folders, and colour measures.
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cmath>

namespace TestSupport
{

// The whole file, or nothing when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file, making its folder first; false when any of it fails.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == qint64(bytes.size());
}

// Copies a folder with everything in it.
inline bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    const QFileInfoList entries = source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

#if defined(TEST_CONFIG_DIR) && defined(TEST_ASSET_DIR) // test programs, not their helpers
// The themes and pictures of the build in <appDir>/config, so that a console whose folder is
// appDir starts styled as installed; false when any of it fails.
inline bool copyConsoleConfig(const QString &appDir)
{
    const QString config = appDir + QStringLiteral("/config");
    return copyTree(QStringLiteral(TEST_CONFIG_DIR "/style"), config + QStringLiteral("/style")) &&
           copyTree(QStringLiteral(TEST_ASSET_DIR "/config/image"),
                    config + QStringLiteral("/image"));
}
#endif

// Every path under a folder, sorted: what a test compares before and after to see that nothing
// was written there.
inline QStringList treeOf(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next();
    entries.sort();
    return entries;
}

// A copy of a program in the folder beside a copy of the config folder, without its INI file,
// so that the copy's configuration and its single-instance name are its own. The copy's path,
// or an empty string when any of it fails.
inline QString copyProgram(const QString &program, const QString &configFolder,
                           const QString &folder)
{
    const QString copy = folder + QLatin1Char('/') + QFileInfo(program).fileName();
    if (!QFile::copy(program, copy) || !copyTree(configFolder, folder + QStringLiteral("/config")))
        return QString();
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
    QFile::remove(folder + QStringLiteral("/config/SetupConfig.ini"));
    return copy;
}

// Relative luminance of a colour, as the WCAG contrast formula uses it.
inline double luminance(const QColor &c)
{
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// Contrast ratio of two colours, from 1 (equal) to 21 (black on white).
inline double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Whether two colours differ by at most the tolerance in every channel.
inline bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace TestSupport
