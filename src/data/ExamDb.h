#pragma once

#include "Statements.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <map>
#include <optional>

// The exam database, word.mdb in the current directory.
//
// Every operation finds the driver, opens its own connection, runs its
// statements and closes the connection before it returns; no connection is
// held between operations. A read operation can change no data, a write
// operation runs inside one transaction. Neither ever creates the file.
//
// Errors are reported once through the application message box
// ("数据库错误: " and the driver's text). The statements after the failing one
// are skipped; what the operation's body did before the error stands (rows
// already read stay read), and a write operation's transaction is rolled back.
namespace ExamDb {

inline constexpr char DatabaseFileName[] = "word.mdb";
inline constexpr char NoDriverMessage[] = "没有安装Access驱动!";
inline constexpr char ErrorPrefix[] = "数据库错误: ";

// The first driver name in the list containing "SQLITE" (case-sensitive), or
// an empty string.
QString ScanDriverList(const QStringList& drivers);

// ScanDriverList over the drivers Qt has installed.
QString FindAccessDriver();

// Where FindAccessDriver gets the installed drivers from; by default
// QSqlDatabase::drivers. Returns the previous source; nullptr restores the
// default. Lets a test stand for a machine without the SQLite driver.
using DriverSource = QStringList (*)();
DriverSource SetDriverSource(DriverSource source);

enum class Variant
{
    ReadKeyed,
    WriteKeyed
};

enum class Result
{
    Done,     // every statement ran
    NoDriver, // no driver: reported, nothing connected
    Failed,   // a database error: reported
};

// A database error inside an operation. Thrown by Connection and Row, caught
// by the operation that reports it.
struct Error
{
    QString text;
};

// One row of a query, its columns fetched by name among the query's `fields`.
class Row
{
public:
    Row(const QSqlQuery& query, const QSqlRecord& fields) : m_query(query), m_fields(fields) {}

    // A text column; NULL reads as an empty string.
    QString Text(const char* column) const;
    // A whole-number column as a signed 16-bit integer, truncated toward
    // zero (85.5 reads as 85); NULL gives no number.
    std::optional<qint16> Short(const char* column) const;
    // A number column as it is, fraction and all; NULL, or a text that is no
    // number, gives no number.
    std::optional<double> Real(const char* column) const;

private:
    QVariant Value(const char* column) const;
    const QSqlQuery& m_query;
    const QSqlRecord& m_fields;
};

// The open connection of one operation. Each statement is prepared once per
// connection and run again with new values, so a statement must not be run
// from inside the row handler of the same statement.
class Connection
{
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    using RowHandler = std::function<void(const Row&)>;

    // Runs a query and hands each row, in the order the database returns
    // them, to onRow.
    void Query(const Statement& statement, const QVariantList& values, const RowHandler& onRow);
    // Runs a statement that returns no rows; returns the number of rows it
    // changed.
    int Exec(const Statement& statement, const QVariantList& values = {});

private:
    friend Result RunOperation(Variant, const std::function<void(Connection&)>&);
    explicit Connection(const QString& name) : m_name(name) {}
    QSqlQuery& Run(const Statement& statement, const QVariantList& values);
    QString m_name;
    std::map<const char*, QSqlQuery> m_prepared;
};

using Body = std::function<void(Connection&)>;

// The one function behind every read and every write operation.
Result RunOperation(Variant variant, const Body& body);

inline Result ReadKeyed(const Body& body)
{
    return RunOperation(Variant::ReadKeyed, body);
}
inline Result WriteKeyed(const Body& body)
{
    return RunOperation(Variant::WriteKeyed, body);
}

// The SQLite open name of the database file: a file URI (so '#', '?' and
// Chinese folder names survive) in the variant's mode, never creating.
QString OpenName(const QString& path, Variant variant);

} // namespace ExamDb
