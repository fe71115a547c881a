#include "DataFolder.h"

#include "ExamDb.h"
#include "WordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace DataFolder {

namespace {

const QString DatabaseName = QString::fromUtf8(ExamDb::DatabaseFileName);

QString NextConnectionName()
{
    static quint64 serial = 0;
    return QStringLiteral("ordwin-start-%1").arg(++serial);
}

struct Inspection
{
    enum State
    {
        Sound,
        Damaged,    // not a database, or one without grades
        Unreadable, // could not be looked at (locked, no access): not judged
    } state = Unreadable;
    QString stamp;
    QString error;
};

// Opens `path` read-only and reads its content stamp; the installed file is
// sound when it has one. With `check`, tells whether the file is a database
// whose grades are sound: the one thing in it that cannot be made again. (A
// check of the whole file would read all of it at every start.)
Inspection Inspect(const QString& driver, const QString& path, bool check)
{
    Inspection result;
    const QString name = NextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(ExamDb::OpenName(path, ExamDb::Variant::ReadKeyed));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery query(db);
            result.stamp = WordFile::ContentStamp(db);
            if (!check) {
                result.state = result.stamp.isEmpty() ? Inspection::Damaged : Inspection::Sound;
            } else if (query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master "
                                                 "WHERE type='table' AND name='grades'")) &&
                       query.next()) {
                const bool sound = query.value(0).toInt() == 1 &&
                                   query.exec(QStringLiteral("PRAGMA quick_check(grades)")) &&
                                   query.next() && query.value(0).toString() == QLatin1String("ok");
                result.state = sound ? Inspection::Sound : Inspection::Damaged;
            } else {
                // SQLITE_CORRUPT and SQLITE_NOTADB; anything else is not the file's fault.
                const QString code = query.lastError().nativeErrorCode();
                result.state = code == QLatin1String("11") || code == QLatin1String("26")
                                   ? Inspection::Damaged
                                   : Inspection::Unreadable;
                result.error = query.lastError().text();
            }
        } else {
            result.error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

bool SyncToDisk(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

// Writes `target` anew as a copy of `pristine`, with the grades of the old
// target when `keepGrades`. The new file is made beside the target and renamed
// over it only when complete.
bool Renew(const QString& driver, const QString& pristine, const QString& target, bool keepGrades,
           QString* error)
{
    const QString temp = target + QStringLiteral(".new");
    QFile::remove(temp);
    QFile source(pristine);
    if (!source.copy(temp)) {
        *error = source.errorString();
        QFile::remove(temp);
        return false;
    }
    // The installed file is read-only; the copy is the user's own.
    QFile::setPermissions(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    bool ok = true;
    if (keepGrades) {
        const QString name = NextConnectionName();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
            db.setDatabaseName(temp);
            // Another running copy of the program may be writing the old file.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open()) {
                *error = db.lastError().text();
                ok = false;
            } else {
                ok = WordFile::CarryGrades(db, target, error) >= 0;
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
    if (ok && !SyncToDisk(temp)) {
        *error = qt_error_string(errno);
        ok = false;
    }
    if (ok && std::rename(QFile::encodeName(temp).constData(),
                          QFile::encodeName(target).constData()) != 0) {
        *error = qt_error_string(errno);
        ok = false;
    }
    if (!ok)
        QFile::remove(temp);
    return ok;
}

// Makes `folder`/`name` a link to `content`/`name`. A link that points
// elsewhere is made again; a real file or folder of that name is left alone.
bool Link(const QString& folder, const QString& content, const QString& name, QString* error)
{
    const QString link = folder + QLatin1Char('/') + name;
    const QString target = content + QLatin1Char('/') + name;
    const QFileInfo info(link);
    if (info.isSymLink()) {
        if (info.symLinkTarget() == target)
            return true;
        QFile::remove(link);
    } else if (info.exists()) {
        return true;
    }
    QFile file(target);
    if (file.link(link))
        return true;
    *error = file.errorString();
    return false;
}

QString LockError(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::LockFailedError:
        return qt_error_string(EBUSY);
    case QLockFile::PermissionError:
        return qt_error_string(EACCES);
    default:
        return qt_error_string(EIO);
    }
}

} // namespace

Outcome Prepare(const QString& programDir, const QString& userDir, const QDateTime& now)
{
    Outcome out;
    const QDir program(programDir);
    if (program.exists(DatabaseName)) {
        out.folder = program.absolutePath();
        out.portable = true;
        return out;
    }
    const auto tell = [&](Notice notice, QStringList args) {
        out.messages.push_back({notice, std::move(args)});
    };
    const auto unusable = [&](const QString& reason) {
        tell(Notice::Unusable, {QDir::toNativeSeparators(userDir), reason});
    };
    if (userDir.isEmpty() || !QDir().mkpath(userDir)) {
        unusable(qt_error_string(userDir.isEmpty() ? ENOENT : errno));
        return out;
    }
    out.folder = QDir(userDir).absolutePath();
    QLockFile lock(out.folder + QStringLiteral("/.lock"));
    if (!lock.tryLock(10000)) {
        unusable(LockError(lock.error()));
        return out;
    }

    const QString content =
        QDir::cleanPath(program.absoluteFilePath(QString::fromUtf8(ContentFolder)));
    const QString pristine = content + QLatin1Char('/') + DatabaseName;
    const QString copy = out.folder + QLatin1Char('/') + DatabaseName;
    QString error;
    for (const char* name : {"etp", "elm"}) {
        if (!Link(out.folder, content, QString::fromLatin1(name), &error)) {
            unusable(error);
            return out;
        }
    }

    // Without the driver nothing can be judged; the program reports that itself.
    const QString driver = ExamDb::FindAccessDriver();
    const Inspection installed = driver.isEmpty() || !QFileInfo::exists(pristine)
                                     ? Inspection{}
                                     : Inspect(driver, pristine, false);
    if (!QFileInfo::exists(pristine) ||
        (!driver.isEmpty() && installed.state != Inspection::Sound)) {
        tell(Notice::PristineMissing, {QDir::toNativeSeparators(pristine)});
        return out;
    }

    if (QFileInfo::exists(copy) && !driver.isEmpty()) {
        const Inspection mine = Inspect(driver, copy, true);
        if (mine.state == Inspection::Damaged) {
            const QString aside = copy + QStringLiteral(".damaged-") +
                                  now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QFile file(copy);
            if (!file.rename(aside)) {
                unusable(file.errorString());
                return out;
            }
            tell(Notice::Damaged,
                 {QDir::toNativeSeparators(copy), QDir::toNativeSeparators(aside)});
        } else if (mine.state == Inspection::Unreadable) {
            unusable(mine.error);
            return out;
        } else if (mine.stamp != installed.stamp && !Renew(driver, pristine, copy, true, &error)) {
            tell(Notice::UpdateFailed, {error});
            return out;
        }
    }
    if (!QFileInfo::exists(copy) && !Renew(driver, pristine, copy, false, &error))
        unusable(error);
    return out;
}

Outcome Enter(const QString& programDir)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString userDir =
        base.isEmpty() ? QString() : base + QLatin1Char('/') + QString::fromUtf8(UserFolder);
    Outcome out = Prepare(programDir, userDir, QDateTime::currentDateTime());
    if (!out.folder.isEmpty())
        QDir::setCurrent(out.folder);
    return out;
}

} // namespace DataFolder
