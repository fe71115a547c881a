#include "ClassServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <atomic>
#include <utility>

namespace ClassServer {

QSqlQuery Exec(QSqlDatabase& db, const QString& text, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(text))
        throw ExamDb::Error{query.lastError().text()};
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values[i]);
    if (!query.exec())
        throw ExamDb::Error{query.lastError().text()};
    return query;
}

namespace {

constexpr char Group[] = "class";
constexpr int StatementTimeoutMs = 10000;

// On the server: the student enrols with the first exam sent; an exam that
// is there already is kept as it is, and its answers were written with it.
constexpr char Enrol[] = "INSERT INTO ordwin.students (class, name) VALUES (?, ?) "
                         "ON CONFLICT (login) DO NOTHING";
constexpr char InsertExam[] =
    "INSERT INTO ordwin.exams (exam_uid, student, paper, sat_at, objective, essay, listening, "
    "single_choice, cloze, reading, task_reading, essay_title, essay_text, essay_report) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (exam_uid) DO NOTHING";
// The whole card in one statement, from the parcel's own list of answers.
constexpr char InsertAnswers[] =
    "INSERT INTO ordwin.answers (exam_uid, number, answer, key, value, points) "
    "SELECT ?, a.number, a.answer, a.key, a.value, a.points FROM json_to_recordset(?) "
    "AS a(number text, answer text, key text, value smallint, points smallint)";

// libpq's words for a login the server turned away, as against one that
// never reached it.
constexpr const char* RefusalMarks[] = {"authentication failed", "no password supplied",
                                        "does not exist", "no pg_hba.conf entry",
                                        "permission denied"};

QString NextConnectionName()
{
    static std::atomic<quint64> serial{0};
    return QStringLiteral("ordwin-class-%1").arg(++serial);
}

QJsonValue JsonNumber(const std::optional<qint16>& value)
{
    return value ? QJsonValue(int(*value)) : QJsonValue();
}

QJsonArray AnswersJson(const ExamRecord& exam)
{
    QJsonArray answers;
    for (const ExamRecord::Answer& answer : exam.answers)
        answers.append(QJsonObject{{QStringLiteral("number"), answer.number},
                                   {QStringLiteral("answer"), answer.answer},
                                   {QStringLiteral("key"), answer.key},
                                   {QStringLiteral("value"), JsonNumber(answer.value)},
                                   {QStringLiteral("points"), JsonNumber(answer.points)}});
    return answers;
}

std::optional<qint16> ShortOf(const QJsonValue& value)
{
    return value.isDouble() ? std::optional<qint16>(qint16(value.toInt())) : std::nullopt;
}

QSqlQuery Exec(QSqlDatabase& db, const char* text, const QVariantList& values)
{
    return ClassServer::Exec(db, QString::fromUtf8(text), values);
}

// Sends one parcel in the open transaction.
void SendOne(QSqlDatabase& db, const Parcel& parcel)
{
    const ExamRecord& exam = parcel.exam;
    Exec(db, Enrol, {parcel.className, parcel.student});
    const Sections::Scores sections = exam.Split();
    QVariantList values{parcel.uid, exam.name,      exam.paper,
                        exam.time,  exam.objective, exam.essay.score};
    for (int s = 0; s < Sections::Essay; ++s)
        values << sections[s].points;
    values << exam.essay.title << exam.essay.text << exam.essay.report;
    if (Exec(db, InsertExam, values).numRowsAffected() != 1)
        return; // sent before: the answer to that send never arrived
    Exec(db, InsertAnswers,
         {parcel.uid,
          QString::fromUtf8(QJsonDocument(AnswersJson(exam)).toJson(QJsonDocument::Compact))});
}

} // namespace

QString Settings::ConnectOptions() const
{
    QString options = QStringLiteral("connect_timeout=%1").arg(qMax(2, connectTimeout));
    if (!sslMode.isEmpty())
        options += QStringLiteral(";sslmode=") + sslMode;
    return options;
}

Settings Load(QSettings& settings)
{
    Settings out;
    settings.beginGroup(QLatin1String(Group));
    out.host = settings.value(QStringLiteral("host")).toString().trimmed();
    out.database = settings.value(QStringLiteral("database")).toString().trimmed();
    out.user = settings.value(QStringLiteral("user")).toString().trimmed();
    out.sslMode = settings.value(QStringLiteral("sslmode")).toString().trimmed();
    out.className = settings.value(QStringLiteral("class")).toString().trimmed();
    out.student = settings.value(QStringLiteral("student")).toString().trimmed();
    bool ok = false;
    if (const int port = settings.value(QStringLiteral("port")).toInt(&ok); ok && port > 0)
        out.port = port;
    if (const int wait = settings.value(QStringLiteral("connect_timeout")).toInt(&ok); ok)
        out.connectTimeout = qMax(2, wait);
    settings.endGroup();
    return out;
}

QString UserFile()
{
    return QSettings(QSettings::UserScope, QStringLiteral("Calvreth"), QStringLiteral("Ordwin"))
        .fileName();
}

Settings Load()
{
    QSettings settings(QSettings::UserScope, QStringLiteral("Calvreth"), QStringLiteral("Ordwin"));
    return Load(settings);
}

void SaveStudent(const QString& className, const QString& student)
{
    QSettings settings(QSettings::UserScope, QStringLiteral("Calvreth"), QStringLiteral("Ordwin"));
    settings.beginGroup(QLatin1String(Group));
    settings.setValue(QStringLiteral("class"), className);
    settings.setValue(QStringLiteral("student"), student);
    settings.endGroup();
}

QByteArray Parcel::ToJson() const
{
    const QJsonObject object{{QStringLiteral("uid"), uid},
                             {QStringLiteral("class"), className},
                             {QStringLiteral("student"), student},
                             {QStringLiteral("paper"), exam.paper},
                             {QStringLiteral("time"), exam.time},
                             {QStringLiteral("name"), exam.name},
                             {QStringLiteral("objective"), exam.objective},
                             {QStringLiteral("essayScore"), exam.essay.score},
                             {QStringLiteral("essayTitle"), exam.essay.title},
                             {QStringLiteral("essay"), exam.essay.text},
                             {QStringLiteral("essayReport"), exam.essay.report},
                             {QStringLiteral("answers"), AnswersJson(exam)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Parcel> Parcel::FromJson(const QByteArray& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonObject o = document.object();
    if (!document.isObject() ||
        QUuid::fromString(o.value(QStringLiteral("uid")).toString()).isNull())
        return std::nullopt;
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    Parcel parcel{text("uid"), text("class"), text("student"), {}};
    ExamRecord& exam = parcel.exam;
    exam.paper = text("paper");
    exam.time = text("time");
    exam.name = text("name");
    exam.objective = o.value(QStringLiteral("objective")).toDouble();
    exam.essay = {o.value(QStringLiteral("essayScore")).toDouble(), text("essayTitle"),
                  text("essay"), text("essayReport")};
    for (const QJsonValue& value : o.value(QStringLiteral("answers")).toArray()) {
        const QJsonObject a = value.toObject();
        exam.answers.append({a.value(QStringLiteral("number")).toString(),
                             a.value(QStringLiteral("answer")).toString(),
                             a.value(QStringLiteral("key")).toString(),
                             ShortOf(a.value(QStringLiteral("value"))),
                             ShortOf(a.value(QStringLiteral("points")))});
    }
    return parcel;
}

Parcel Wrap(const Settings& settings, const ExamRecord& exam)
{
    const QString student = settings.student.isEmpty() ? exam.name : settings.student;
    return {QUuid::createUuid().toString(QUuid::WithoutBraces), settings.className, student, exam};
}

namespace {

// Opens a connection to the class server, hands it to `body` and closes it.
Outcome Connect(const Settings& settings, const std::function<Outcome(QSqlDatabase&)>& body)
{
    if (!settings.Configured())
        return {Status::NotConfigured, {}};
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(DriverName)))
        return {Status::NoDriver, {}};
    const QString name = NextConnectionName();
    Outcome outcome;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(DriverName), name);
        db.setHostName(settings.host);
        db.setPort(settings.port);
        db.setDatabaseName(settings.database);
        db.setUserName(settings.user);
        db.setConnectOptions(settings.ConnectOptions());
        if (!db.open()) {
            // libpq's own words, without the driver's "Unable to connect".
            const QSqlError error = db.lastError();
            outcome.detail =
                (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
            outcome.status = Status::Unreachable;
            for (const char* mark : RefusalMarks) {
                if (outcome.detail.contains(QLatin1String(mark), Qt::CaseInsensitive))
                    outcome.status = Status::Refused;
            }
        } else {
            // A server that took the connection but does not answer holds
            // the student no longer than this.
            QSqlQuery(QStringLiteral("SET statement_timeout = %1").arg(StatementTimeoutMs), db);
            outcome = body(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return outcome;
}

// Runs `body` in one transaction of the open connection.
Outcome Transaction(QSqlDatabase& db, const std::function<void(QSqlDatabase&)>& body)
{
    try {
        if (!db.transaction())
            throw ExamDb::Error{db.lastError().text()};
        body(db);
        if (!db.commit())
            throw ExamDb::Error{db.lastError().text()};
    } catch (const ExamDb::Error& error) {
        db.rollback();
        return {Status::Failed, error.text.trimmed()};
    }
    return {};
}

} // namespace

Outcome Run(const Settings& settings, const std::function<void(QSqlDatabase&)>& body)
{
    return Connect(settings, [&](QSqlDatabase& db) { return Transaction(db, body); });
}

Outcome Send(const Settings& settings, const QList<Parcel>& parcels,
             const std::function<void(const QString& uid)>& onSent)
{
    if (parcels.isEmpty())
        return {};
    // One connection for the lot, one transaction for each parcel.
    return Connect(settings, [&](QSqlDatabase& db) {
        for (const Parcel& parcel : parcels) {
            const Outcome outcome = Transaction(db, [&](QSqlDatabase& d) { SendOne(d, parcel); });
            if (outcome.status != Status::Done)
                return outcome;
            if (onSent)
                onSent(parcel.uid);
        }
        return Outcome{};
    });
}

namespace Outbox {

void Queue(ExamDb::Connection& db, const Parcel& parcel)
{
    db.Exec(Sql::CreateOutbox);
    if (db.Exec(Sql::QueueParcel, {parcel.uid, QString::fromUtf8(parcel.ToJson())}) != 1)
        throw ExamDb::Error{QStringLiteral("the class copy was not queued")};
}

Waiting Read()
{
    Waiting out;
    out.result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        int present = 0;
        db.Query(Sql::HasOutbox, {},
                 [&](const ExamDb::Row& row) { present = row.Text("n").toInt(); });
        if (!present)
            return;
        db.Query(Sql::WaitingParcels, {}, [&](const ExamDb::Row& row) {
            if (std::optional<Parcel> parcel = Parcel::FromJson(row.Text("parcel").toUtf8()))
                out.parcels.append(std::move(*parcel));
        });
    });
    return out;
}

bool MarkSent(const QStringList& uids)
{
    if (uids.isEmpty())
        return true;
    return ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
               for (const QString& uid : uids)
                   db.Exec(Sql::MarkParcelSent, {uid});
           }) == ExamDb::Result::Done;
}

} // namespace Outbox

Flushed Flush(const Settings& settings)
{
    Flushed out;
    if (!settings.Configured()) {
        out.outcome.status = Status::NotConfigured;
        return out;
    }
    const Outbox::Waiting waiting = Outbox::Read();
    if (waiting.result != ExamDb::Result::Done) {
        out.outcome = {Status::Failed, {}};
        return out;
    }
    QStringList sent;
    out.outcome = Send(settings, waiting.parcels, [&](const QString& uid) { sent << uid; });
    if (!Outbox::MarkSent(sent))
        sent.clear(); // sent all the same; the next flush finds them on the server
    out.sent = int(sent.size());
    out.waiting = int(waiting.parcels.size() - sent.size());
    return out;
}

} // namespace ClassServer
