#pragma once

// What the benchmarks share: Qt's offscreen platform by default, the program
// folder to read, a scratch copy of it to run in, and the median of a
// benchmark's times.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace Bench {

// Qt's offscreen platform, unless QT_QPA_PLATFORM names another; called before
// the application object is made.
inline void PreferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The program folder the first argument names, or `fallback` (the build's)
// when there is none or it is empty.
inline QString FolderArgument(int argc, char* argv[], const char* fallback)
{
    return argc > 1 && *argv[1] ? QString::fromLocal8Bit(argv[1]) : QString::fromUtf8(fallback);
}

// Makes `scratch` the current folder, holding a writable copy of the word.mdb
// of `folder` and links to its subfolders `links` (etp, elm); false when the
// copy could not be made.
inline bool EnterScratch(const QTemporaryDir& scratch, const QString& folder,
                         const QStringList& links = {})
{
    const QString database = scratch.filePath(QStringLiteral("word.mdb"));
    if (!scratch.isValid() || !QFile::copy(folder + QStringLiteral("/word.mdb"), database))
        return false;
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    for (const QString& link : links)
        QFile::link(folder + QLatin1Char('/') + link, scratch.filePath(link));
    return QDir::setCurrent(scratch.path());
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace Bench
