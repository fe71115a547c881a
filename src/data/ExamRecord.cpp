#include "ExamRecord.h"

#include <QFileInfo>

namespace {

// As content/db/schema.sql makes them for a new database.
constexpr Statement CreateExam{"exam", "CREATE TABLE IF NOT EXISTS exam ("
                                       "编号 INTEGER PRIMARY KEY,"
                                       "试题名 TEXT NOT NULL,"
                                       "考试时间 TEXT NOT NULL,"
                                       "考生姓名 TEXT NOT NULL,"
                                       "客观题得分 REAL NOT NULL,"
                                       "作文得分 REAL NOT NULL,"
                                       "听力得分 REAL NOT NULL,"
                                       "单项填空得分 REAL NOT NULL,"
                                       "完形填空得分 REAL NOT NULL,"
                                       "阅读理解得分 REAL NOT NULL,"
                                       "任务型阅读得分 REAL NOT NULL,"
                                       "作文题目 TEXT,"
                                       "作文 TEXT,"
                                       "作文评语 TEXT)"};
constexpr Statement CreateExamIndex{
    "exam",
    "CREATE INDEX IF NOT EXISTS exam_by_name ON exam (考生姓名, 考试时间, 试题名, 听力得分, "
    "单项填空得分, 完形填空得分, 阅读理解得分, 任务型阅读得分, 作文得分)"};
constexpr Statement CreateExamAnswer{"exam_answer",
                                     "CREATE TABLE IF NOT EXISTS exam_answer ("
                                     "考试编号 INTEGER NOT NULL REFERENCES exam (编号),"
                                     "题号 TEXT NOT NULL,"
                                     "回答 TEXT,"
                                     "答案 TEXT,"
                                     "分值 INTEGER,"
                                     "得分 INTEGER,"
                                     "PRIMARY KEY (考试编号, 题号)) WITHOUT ROWID"};
constexpr Statement CountExamTables{"sqlite_master",
                                    "SELECT count(*) AS n FROM sqlite_master "
                                    "WHERE type='table' AND name IN ('exam','exam_answer')"};

QVariant Number(const std::optional<qint16>& value)
{
    return value ? QVariant(int(*value)) : QVariant(QMetaType::fromType<int>());
}

} // namespace

ExamRecord ExamRecord::Build(ExamDb::Connection& db, const QString& paper, const QString& time,
                             const QString& name, const Essay& essay)
{
    ExamRecord exam{paper, time, name, 0.0, essay, {}};
    db.Query(Sql::PaperAnswers, {paper}, [&](const ExamDb::Row& row) {
        const Answer answer{row.Text("题号"), row.Text("回答"), row.Text("答案"), row.Short("分值"),
                            row.Short("得分")};
        if (answer.points)
            exam.objective += *answer.points;
        exam.answers << answer;
    });
    return exam;
}

Sections::Scores ExamRecord::Split() const
{
    QList<Sections::QuestionPoints> points;
    for (const Answer& answer : answers)
        points.append({answer.number, double(answer.points.value_or(0))});
    return Sections::Split(points, essay.score);
}

qint64 ExamRecord::Write(ExamDb::Connection& db, const ExamRecord& exam)
{
    const Sections::Scores sections = exam.Split();
    QVariantList values{exam.paper, exam.time, exam.name, exam.objective, exam.essay.score};
    for (int s = 0; s < Sections::Essay; ++s)
        values << sections[s].points;
    values << exam.essay.title << exam.essay.text << exam.essay.report;
    // A trigger may drop a row without an error: that is no record either.
    const auto written = [](int rows) {
        if (rows != 1)
            throw ExamDb::Error{QStringLiteral("the exam was not kept")};
    };
    written(db.Exec(Sql::InsertExam, values));
    qint64 id = 0;
    db.Query(Sql::KeptExamId, {},
             [&](const ExamDb::Row& row) { id = row.Text("编号").toLongLong(); });
    for (const Answer& answer : exam.answers)
        written(db.Exec(Sql::InsertExamAnswer, {id, answer.number, answer.answer, answer.key,
                                                Number(answer.value), Number(answer.points)}));
    return id;
}

bool EnsureExamTables()
{
    if (!QFileInfo::exists(QString::fromUtf8(ExamDb::DatabaseFileName)) ||
        ExamDb::FindAccessDriver().isEmpty())
        return false;
    int present = 0;
    if (ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            db.Query(CountExamTables, {},
                     [&](const ExamDb::Row& row) { present = row.Text("n").toInt(); });
        }) != ExamDb::Result::Done)
        return false;
    if (present == 2)
        return true;
    return ExamDb::WriteKeyed([](ExamDb::Connection& db) {
               db.Exec(CreateExam);
               db.Exec(CreateExamIndex);
               db.Exec(CreateExamAnswer);
           }) == ExamDb::Result::Done;
}
