#include "ExamDb.h"

#include "AppMessage.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <cmath>
#include <utility>

namespace ExamDb {

namespace {

constexpr int BusyTimeoutMs = 5000;

QString ErrorText(const QSqlError& error)
{
    return error.text();
}

QString NextConnectionName()
{
    static quint64 serial = 0;
    return QStringLiteral("ordwin-db-%1").arg(++serial);
}

} // namespace

QString ScanDriverList(const QStringList& drivers)
{
    for (const QString& name : drivers) {
        if (name.contains(QLatin1String("SQLITE"), Qt::CaseSensitive))
            return name;
    }
    return {};
}

namespace {
DriverSource g_driverSource = nullptr;
}

DriverSource SetDriverSource(DriverSource source)
{
    return std::exchange(g_driverSource, source);
}

QString FindAccessDriver()
{
    return ScanDriverList(g_driverSource ? g_driverSource() : QSqlDatabase::drivers());
}

QString OpenName(const QString& path, Variant variant)
{
    // Both variants open read-write: a read that finds the hot journal of a
    // writer that died mid-transaction must roll it back before it can read,
    // and SQLite cannot do that on a read-only connection ("attempt to write
    // a readonly database"). A read is kept from changing data by
    // PRAGMA query_only instead (RunOperation). A file the user may not
    // write opens read-only all the same. Neither variant creates the file.
    Q_UNUSED(variant);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded) + QLatin1String("?mode=rw");
}

QVariant Row::Value(const char* column) const
{
    const int index = m_fields.indexOf(QString::fromUtf8(column));
    if (index < 0)
        throw Error{QStringLiteral("no such column: %1").arg(QString::fromUtf8(column))};
    return m_query.value(index);
}

QString Row::Text(const char* column) const
{
    const QVariant value = Value(column);
    return value.isNull() ? QString() : value.toString();
}

std::optional<qint16> Row::Short(const char* column) const
{
    const QVariant value = Value(column);
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw Error{
            QStringLiteral("Invalid character value for cast: %1").arg(QString::fromUtf8(column))};
    const double whole = std::trunc(number);
    if (!(whole >= -32768.0 && whole <= 32767.0))
        throw Error{
            QStringLiteral("Numeric value out of range: %1").arg(QString::fromUtf8(column))};
    return static_cast<qint16>(whole);
}

std::optional<double> Row::Real(const char* column) const
{
    const QVariant value = Value(column);
    bool ok = false;
    const double number = value.toDouble(&ok);
    return value.isNull() || !ok ? std::nullopt : std::optional<double>(number);
}

Connection::~Connection() = default;

QSqlQuery& Connection::Run(const Statement& statement, const QVariantList& values)
{
    auto found = m_prepared.find(statement.text);
    if (found == m_prepared.end()) {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.setForwardOnly(true);
        if (!query.prepare(QString::fromUtf8(statement.text)))
            throw Error{ErrorText(query.lastError())};
        found = m_prepared.emplace(statement.text, std::move(query)).first;
    }
    QSqlQuery& query = found->second;
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values[i]);
    if (!query.exec())
        throw Error{ErrorText(query.lastError())};
    return query;
}

void Connection::Query(const Statement& statement, const QVariantList& values,
                       const RowHandler& onRow)
{
    QSqlQuery& query = Run(statement, values);
    // The column names once: the query's record on a row copies every value.
    const QSqlRecord fields = query.record();
    while (query.next()) {
        const Row row(query, fields);
        onRow(row);
    }
    if (query.lastError().isValid())
        throw Error{ErrorText(query.lastError())};
    query.finish();
}

int Connection::Exec(const Statement& statement, const QVariantList& values)
{
    QSqlQuery& query = Run(statement, values);
    const int rows = query.numRowsAffected();
    query.finish();
    return rows;
}

namespace {
// A statement of the operation itself (the transaction, the read-only switch).
void Control(const QSqlDatabase& db, const QString& text)
{
    QSqlQuery query(db);
    if (!query.exec(text))
        throw Error{ErrorText(query.lastError())};
}
} // namespace

Result RunOperation(Variant variant, const Body& body)
{
    const QString driver = FindAccessDriver();
    if (driver.isEmpty()) {
        AppMessage::Show(QString::fromUtf8(NoDriverMessage));
        return Result::NoDriver;
    }

    const QString name = NextConnectionName();
    std::optional<QString> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(OpenName(QString::fromUtf8(DatabaseFileName), variant));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        const bool writing = variant == Variant::WriteKeyed;
        try {
            if (!db.open())
                throw Error{ErrorText(db.lastError())};
            // A write takes the write lock at once: what it reads stays true
            // until it commits (hand-in reads the scores it records).
            Control(db, writing ? QStringLiteral("BEGIN IMMEDIATE")
                                : QStringLiteral("PRAGMA query_only=1"));
            {
                Connection connection(name);
                body(connection);
            }
            if (writing)
                Control(db, QStringLiteral("COMMIT"));
        } catch (const Error& error) {
            failure = error.text;
            if (writing && db.isOpen())
                db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);

    if (failure) {
        AppMessage::Show(QString::fromUtf8(ErrorPrefix) + *failure);
        return Result::Failed;
    }
    return Result::Done;
}

} // namespace ExamDb
