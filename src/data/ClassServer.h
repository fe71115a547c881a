#pragma once

#include "ExamRecord.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QSettings;

// Class mode: a class's shared grade book on a PostgreSQL server, through
// Qt SQL's QPSQL driver. Off unless a server is configured; then every
// handed-in exam is queued in word.mdb's outbox in the hand-in's own write
// and sent after it, once, under an id made on this computer.
//
// Nothing here loads the PostgreSQL driver or touches the network until a
// function that talks to the server is called with a configured server.
namespace ClassServer {

inline constexpr char DriverName[] = "QPSQL";
// The shortest wait libpq honours is 2 seconds.
inline constexpr int DefaultConnectTimeout = 3;

// The connection the way PostgreSQL clients are set up: the password comes
// from libpq's own ~/.pgpass or PGPASSFILE, TLS from sslmode; Ordwin stores
// neither a password nor a certificate.
struct Settings
{
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString sslMode;                            // libpq's sslmode; empty: libpq's default
    int connectTimeout = DefaultConnectTimeout; // seconds, at least 2
    QString className;                          // the student's class
    QString student;                            // the student's name in the class

    // A host and a database make a class server; without them class mode is off.
    bool Configured() const { return !host.isEmpty() && !database.isEmpty(); }
    // The driver's connect options: connect_timeout and sslmode.
    QString ConnectOptions() const;
};

// Group [class] of `settings`: host, port, database, user, sslmode,
// connect_timeout, class, student. A port or timeout that is no number keeps
// the default.
Settings Load(QSettings& settings);
// The user's settings (~/.config/Calvreth/Ordwin.conf), with the system-wide
// file an administrator placed (/etc/xdg/Calvreth/Ordwin.conf) behind them.
Settings Load();
// Where the user's own settings are.
QString UserFile();
// Stores the student's class and name in the user's own settings.
void SaveStudent(const QString& className, const QString& student);

enum class Status
{
    Done,
    NotConfigured, // class mode is off: nothing was tried
    NoDriver,      // Qt's PostgreSQL driver is not installed
    Unreachable,   // no connection within the timeout (host, port, TLS)
    Refused,       // the server turned the login away (password, role)
    Failed,        // connected, but a statement failed
};

struct Outcome
{
    Status status = Status::Done;
    QString detail; // the driver's or server's own text
};

// One exam on its way to the class: its id, made where it was handed in,
// and the class and name the student enrols under with their first exam.
// The exam keeps the name typed for it, as the local grade row does.
struct Parcel
{
    QString uid;
    QString className;
    QString student;
    ExamRecord exam;

    QByteArray ToJson() const;
    // Nothing when the text is not a parcel.
    static std::optional<Parcel> FromJson(const QByteArray& json);
};

// A parcel for an exam just built, with a new id.
Parcel Wrap(const Settings& settings, const ExamRecord& exam);

// Prepares, binds and runs `text` on `db` (a class server's connection);
// throws ExamDb::Error when any step fails.
QSqlQuery Exec(QSqlDatabase& db, const QString& text, const QVariantList& values);

// Runs `body` on an open connection to the class server, inside one
// transaction, and closes it. `body` throws ExamDb::Error to roll back. Safe
// from any thread: each call has its own connection.
Outcome Run(const Settings& settings, const std::function<void(QSqlDatabase&)>& body);

// Sends each parcel in its own transaction over one connection; the server
// keeps an exam once per id, so sending one again (after an answer that
// never arrived) keeps it once. `onSent` hears each id the server now holds,
// in order. Stops at the first failure; with nothing to send it connects to
// nothing. Safe from any thread.
Outcome Send(const Settings& settings, const QList<Parcel>& parcels,
             const std::function<void(const QString& uid)>& onSent);

// The local outbox, table class_outbox of word.mdb: made with the first
// parcel queued; a parcel stays (its send time filled in) once sent.
namespace Outbox {

// Queues a parcel; meant for the hand-in's write operation, so that the
// exam and its parcel are written together or not at all.
void Queue(ExamDb::Connection& db, const Parcel& parcel);

struct Waiting
{
    ExamDb::Result result = ExamDb::Result::Done;
    QList<Parcel> parcels; // in the order they were queued
};
Waiting Read();

// Marks parcels sent; false when that could not be written (reported).
bool MarkSent(const QStringList& uids);

} // namespace Outbox

// What a flush did: how many were sent, how many still wait, and why.
struct Flushed
{
    Outcome outcome;
    int sent = 0;
    int waiting = 0;
};

// Sends what waits in the outbox and marks what the server took; when the
// server cannot be reached everything stays waiting.
Flushed Flush(const Settings& settings);

} // namespace ClassServer
