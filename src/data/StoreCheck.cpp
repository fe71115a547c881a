#include "StoreCheck.h"

#include "ExamDb.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace StoreCheck {

namespace {

// The tables and columns the program's statements use.
struct Table
{
    const char* name;
    std::initializer_list<const char*> columns;
};
const Table Tables[] = {
    {"answer", {"卷名", "题号", "回答", "答案", "分值", "得分"}},
    {"grades", {"试题名", "考试时间", "考生姓名", "成绩"}},
    {"word", {"单词"}},
    {"write", {"卷名", "关键词"}},
};

// SQLite's primary result codes, as Qt gives them.
constexpr int SqliteReadOnly = 8;
constexpr int SqliteNotADatabase = 26;

Finding Failure(Problem problem, const QString& detail = {})
{
    return Finding{problem, {}, {}, detail};
}

Finding FromError(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt();
    if (code == SqliteNotADatabase)
        return Failure(Problem::NotADatabase);
    if (code == SqliteReadOnly)
        return Failure(Problem::ReadOnly);
    return Failure(Problem::Damaged, error.databaseText());
}

Finding CheckOpen(QSqlDatabase& db, const QString& folder)
{
    if (!db.open())
        return FromError(db.lastError());
    QSqlQuery query(db);
    // Reads every page of every table and index: some hundredths of a
    // second for the program's database.
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return FromError(query.lastError());
    if (!query.next())
        return Failure(Problem::Damaged);
    if (const QString verdict = query.value(0).toString(); verdict != QLatin1String("ok"))
        return Failure(Problem::Damaged, verdict);
    query.finish();

    for (const Table& table : Tables) {
        const QString name = QString::fromUtf8(table.name);
        if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name)))
            return FromError(query.lastError());
        QStringList present;
        while (query.next())
            present << query.value(1).toString();
        if (present.isEmpty())
            return Finding{Problem::MissingTable, name, {}, {}};
        for (const char* column : table.columns) {
            if (!present.contains(QString::fromUtf8(column)))
                return Finding{Problem::MissingColumn, name, QString::fromUtf8(column), {}};
        }
    }

    // Taking the write lock needs a writable file; writing needs a folder
    // the journal can be made in. Nothing is written.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const Finding finding = FromError(query.lastError());
        // Busy with another writer is no fault of the file.
        return finding.problem == Problem::ReadOnly ? finding : Finding{};
    }
    query.exec(QStringLiteral("ROLLBACK"));
    if (!QFileInfo(folder).isWritable())
        return Failure(Problem::ReadOnly);
    return {};
}

} // namespace

Finding Check(const QString& path)
{
    // Without the driver every operation says so itself.
    const QString driver = ExamDb::FindAccessDriver();
    if (driver.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists())
        return Failure(Problem::Missing);
    if (!info.isFile())
        return Failure(Problem::NotADatabase);
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return Failure(Problem::Unreadable, file.errorString());
        // Every SQLite database begins so; an empty file is no database.
        if (file.read(16) != QByteArray("SQLite format 3", 16))
            return Failure(Problem::NotADatabase);
    }

    const QString name = QStringLiteral("ordwin-store-check");
    Finding finding;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(ExamDb::OpenName(path, ExamDb::Variant::WriteKeyed));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
        finding = CheckOpen(db, info.absolutePath());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return finding;
}

} // namespace StoreCheck
