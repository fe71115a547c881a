#include "StoreCheck.h"

#include "ExamDb.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

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

// The length the file header gives the database, its page size times its
// page count, when that count is current (the header says so); else 0.
qint64 HeaderLength(const QByteArray& header)
{
    if (header.size() < 100)
        return 0;
    const auto number = [&](int at) { return qFromBigEndian<quint32>(header.constData() + at); };
    if (number(92) != number(24))
        return 0;
    const quint16 pageSize = qFromBigEndian<quint16>(header.constData() + 16);
    return qint64(pageSize == 1 ? 65536 : pageSize) * number(28);
}

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
        // The table's first page can be read. (A check of every page would
        // cost the start a noticeable moment.)
        if (!query.exec(QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 1").arg(name)))
            return FromError(query.lastError());
        query.finish();
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
        const QByteArray header = file.read(100);
        if (!header.startsWith(QByteArray("SQLite format 3", 16)))
            return Failure(Problem::NotADatabase);
        if (const qint64 length = HeaderLength(header); file.size() < length)
            return Failure(
                Problem::Damaged,
                QStringLiteral("file is cut short: %1 of %2 bytes").arg(file.size()).arg(length));
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
