#include "HandIn.h"

#include "ExamDb.h"
#include "KeptExam.h"

namespace HandIn {

Outcome Record(const QString& paper, const QString& time, const QString& name,
               const ExamRecord::Essay& essay, const ClassServer::Settings& classServer)
{
    const double essayScore = essay.score;
    double objective = 0.0;
    bool anyRow = false;
    const ExamDb::Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::SumScores, {}, [&](const ExamDb::Row& row) {
            anyRow = true;
            if (const std::optional<qint16> points = row.Short("得分"))
                objective += *points;
        });
        if (!anyRow)
            return;
        // A trigger may drop the row without an error: that is no record either.
        const QString total = QString::asprintf("%f", objective + essayScore);
        if (db.Exec(Sql::InsertGrade, {paper, time, name, total}) != 1)
            throw ExamDb::Error{QStringLiteral("the grade row was not written")};
        const ExamRecord exam = ExamRecord::Build(db, paper, time, name, essay);
        ExamRecord::Write(db, exam);
        // A recorded exam is over: the next start must not offer it again.
        KeptExam::DiscardIn(db);
        if (classServer.Configured())
            ClassServer::Outbox::Queue(db, ClassServer::Wrap(classServer, exam));
    });
    switch (result) {
    case ExamDb::Result::NoDriver:
        return {Status::NoDriver};
    case ExamDb::Result::Failed:
        return {Status::Failed};
    case ExamDb::Result::Done:
        break;
    }
    if (!anyRow)
        return {Status::NoScores};
    return {Status::Recorded, objective};
}

QString ScoreMessage(double objective, double essayScore)
{
    const QString objectiveText = QString::asprintf("客观题得分为：%2.1f", objective);
    return QString::asprintf("您本次考试成绩为：%2.1f分（其中%s分,作文得分为：%2.1f分）",
                             objective + essayScore, objectiveText.toUtf8().constData(),
                             essayScore);
}

} // namespace HandIn
