#pragma once

// What the benchmarks share: a scratch copy of a program folder to run in, and
// the median of a benchmark's times.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace Bench {

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
