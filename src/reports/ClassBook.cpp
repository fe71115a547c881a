#include "ClassBook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <map>

namespace ClassBook {

namespace {

// The exam columns every read takes, the sections in section order.
constexpr char ExamColumns[] = "e.paper, e.sat_at, e.objective + e.essay AS total, e.listening, "
                               "e.single_choice, e.cloze, e.reading, e.task_reading, e.essay";
constexpr int FirstSection = 3;

// The exam of the current row, its columns from `first` on.
Progress::Exam ExamAt(const QSqlQuery& query, int first)
{
    std::array<double, Sections::Count> points{};
    for (int s = 0; s < Sections::Count; ++s)
        points[s] = query.value(first + FirstSection + s).toDouble();
    return {query.value(first).toString(), query.value(first + 1).toString(),
            query.value(first + 2).toDouble(), Sections::FromPoints(points)};
}

} // namespace

ServerHistory ReadHistory(const ClassServer::Settings& settings, const QString& name)
{
    ServerHistory out;
    out.outcome = ClassServer::Run(settings, [&](QSqlDatabase& db) {
        QSqlQuery query =
            ClassServer::Exec(db,
                              QStringLiteral("SELECT %1 FROM ordwin.exams e WHERE e.student = ? "
                                             "ORDER BY e.sat_at, e.received_at")
                                  .arg(QLatin1String(ExamColumns)),
                              {name});
        while (query.next())
            out.history.exams.append(ExamAt(query, 0));
    });
    if (out.outcome.status != ClassServer::Status::Done)
        out.history.exams.clear();
    return out;
}

Book Read(const ClassServer::Settings& settings)
{
    Book out;
    out.outcome = ClassServer::Run(settings, [&](QSqlDatabase& db) {
        QSqlQuery query = ClassServer::Exec(
            db,
            QStringLiteral("SELECT e.login, s.class, s.name, %1 FROM ordwin.exams e "
                           "JOIN ordwin.students s ON s.login = e.login "
                           "ORDER BY s.class, s.name, e.login, e.sat_at, e.received_at")
                .arg(QLatin1String(ExamColumns)),
            {});
        while (query.next())
            out.entries.append({query.value(0).toString(), query.value(1).toString(),
                                query.value(2).toString(), ExamAt(query, 3)});
    });
    if (out.outcome.status != ClassServer::Status::Done)
        out.entries.clear();
    return out;
}

QList<Average> Averages(const QList<Entry>& entries)
{
    std::map<QString, Average> byPaper;
    Average all;
    for (const Entry& entry : entries) {
        const Progress::Exam& exam = entry.exam;
        for (Average* average : {&all, &byPaper[exam.paper]}) {
            ++average->exams;
            average->total += exam.total.value_or(0.0);
            for (int s = 0; exam.sections && s < Sections::Count; ++s)
                average->sections[s] += (*exam.sections)[s].points;
        }
    }
    QList<Average> out{all};
    for (auto& [paper, average] : byPaper) {
        average.paper = paper;
        out.append(average);
    }
    for (Average& average : out) {
        const double n = qMax(1, average.exams);
        average.total /= n;
        for (double& points : average.sections)
            points /= n;
    }
    return out;
}

MissedList MostMissed(const ClassServer::Settings& settings, const QString& paper)
{
    MissedList out;
    out.outcome = ClassServer::Run(settings, [&](QSqlDatabase& db) {
        QSqlQuery sat = ClassServer::Exec(
            db, QStringLiteral("SELECT count(DISTINCT login) FROM ordwin.exams WHERE paper = ?"),
            {paper});
        if (sat.next())
            out.students = sat.value(0).toInt();
        QSqlQuery query =
            ClassServer::Exec(db,
                              QStringLiteral("SELECT a.number, count(DISTINCT e.login) "
                                             "FROM ordwin.answers a JOIN ordwin.exams e "
                                             "ON e.exam_uid = a.exam_uid "
                                             "WHERE e.paper = ? AND coalesce(a.points, 0) = 0 "
                                             "GROUP BY a.number ORDER BY 2 DESC, a.number"),
                              {paper});
        while (query.next())
            out.questions.append({query.value(0).toString(), query.value(1).toInt()});
    });
    return out;
}

QByteArray Csv(const QList<Entry>& entries)
{
    QStringList header{QStringLiteral("班级"), QStringLiteral("姓名"), QStringLiteral("试题名"),
                       QStringLiteral("考试时间"), QStringLiteral("总分")};
    for (const Sections::Section& section : Sections::Table)
        header << QString::fromUtf8(section.name);
    QList<QStringList> lines{header};
    for (const Entry& entry : entries) {
        const Progress::Exam& exam = entry.exam;
        QStringList line{entry.className, entry.student, exam.paper, exam.time,
                         QString::number(exam.total.value_or(0.0))};
        for (int s = 0; s < Sections::Count; ++s)
            line << (exam.sections ? QString::number((*exam.sections)[s].points) : QString());
        lines << line;
    }
    return Progress::CsvText(lines);
}

} // namespace ClassBook
