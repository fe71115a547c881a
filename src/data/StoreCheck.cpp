#include "StoreCheck.h"

#include "ExamDb.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <sqlite3.h>

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
    return Finding{problem, {}, {}, detail, {}, false};
}

// The problem of the last call on `db` that failed.
Finding FromError(sqlite3* db)
{
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_NOTADB:
        return Failure(Problem::NotADatabase);
    case SQLITE_READONLY:
        return Failure(Problem::ReadOnly);
    default:
        return Failure(Problem::Damaged, QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

// A statement's rows, a column's text each; false when it failed.
bool Rows(sqlite3* db, const QString& sql, int column, QStringList& rows)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return false;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW)
        rows << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

Finding CheckOpen(sqlite3* db, const QString& folder)
{
    QStringList present;
    for (const Table& table : Tables) {
        const QString name = QString::fromUtf8(table.name);
        present.clear();
        if (!Rows(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(name), 1, present))
            return FromError(db);
        if (present.isEmpty())
            return Finding{Problem::MissingTable, name, {}, {}, {}, false};
        for (const char* column : table.columns) {
            if (!present.contains(QString::fromUtf8(column)))
                return Finding{
                    Problem::MissingColumn, name, QString::fromUtf8(column), {}, {}, false};
        }
        // The table's first page can be read. (A check of every page would
        // cost the start a noticeable moment.)
        QStringList first;
        if (!Rows(db, QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 1").arg(name), 0, first))
            return FromError(db);
    }
    Finding finding;
    if (!Rows(db,
              QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name IN "
                             "('exam','exam_answer','running_exam')"),
              0, finding.ownTables))
        return FromError(db);
    QStringList kept;
    if (finding.ownTables.contains(QLatin1String("running_exam")) &&
        !Rows(db, QStringLiteral("SELECT 1 FROM running_exam LIMIT 1"), 0, kept))
        return FromError(db);
    finding.examKept = !kept.isEmpty();

    // Taking the write lock needs a writable file; writing needs a folder
    // the journal can be made in. Nothing is written.
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const Finding failed = FromError(db);
        // Busy with another writer is no fault of the file.
        return failed.problem == Problem::ReadOnly ? failed : finding;
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (!QFileInfo(folder).isWritable())
        return Failure(Problem::ReadOnly);
    return finding;
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

    // SQLite itself, not Qt's driver: loading the driver would cost the start
    // more than the check, and the first operation that needs it loads it.
    sqlite3* db = nullptr;
    const QByteArray uri = ExamDb::OpenName(path, ExamDb::Variant::WriteKeyed).toUtf8();
    Finding finding;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        finding = FromError(db);
    } else {
        sqlite3_busy_timeout(db, 1000);
        finding = CheckOpen(db, info.absolutePath());
    }
    sqlite3_close(db);
    return finding;
}

} // namespace StoreCheck
