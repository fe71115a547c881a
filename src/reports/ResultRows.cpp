#include "ResultRows.h"

#include "Statements.h"

#include <initializer_list>

namespace {

// Reads a query's rows into cells of `perRow` records to a row.
Results::Rows Grouped(const Statement& statement, const QString& paper, int perRow,
                      std::initializer_list<const char*> columns)
{
    Results::Rows out;
    int n = 0;
    out.result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(statement, {paper}, [&](const ExamDb::Row& row) {
            if (n++ % perRow == 0)
                out.rows.append(QStringList());
            for (const char* column : columns)
                out.rows.back() << row.Text(column);
        });
    });
    return out;
}

} // namespace

QString Results::RowNumber(int n)
{
    if (n < 10)
        return QStringLiteral("00%1").arg(n);
    if (n < 100)
        return QStringLiteral("0%1").arg(n);
    return QString::number(n);
}

Results::Rows Results::GradeHistory(const QString& name)
{
    Rows out;
    out.result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {name}, [&](const ExamDb::Row& row) {
            const QString paper = row.Text("试题名");
            const std::optional<qint16> score = row.Short("成绩");
            const QString time = row.Text("考试时间");
            out.rows << QStringList{RowNumber(int(out.rows.size()) + 1), paper, time,
                                    score ? QString::number(*score) : QString()};
        });
    });
    return out;
}

Results::Rows Results::AnswerStatus(const QString& paper)
{
    return Grouped(Sql::ListAnswers, paper, 3, {"题号", "回答"});
}

Results::Rows Results::WrongAnswers(const QString& paper)
{
    return Grouped(Sql::ListWrongAnswers, paper, 2, {"题号", "回答", "答案"});
}
