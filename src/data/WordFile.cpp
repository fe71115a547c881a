#include "WordFile.h"

#include "Statements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

QString WordFile::ContentStamp(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT stamp FROM content")) || !query.next())
        return {};
    return query.value(0).toString();
}

namespace {

// Whether the attached old file has table `name`; nothing when that cannot
// be read.
std::optional<bool> OldHas(QSqlQuery& query, const char* name)
{
    if (!query.exec(QStringLiteral("SELECT count(*) FROM old.sqlite_master WHERE type='table' "
                                   "AND name='%1'")
                        .arg(QLatin1String(name))) ||
        !query.next())
        return std::nullopt;
    return query.value(0).toInt() == 1;
}

// Copies the `columns` of table `name` from the attached old file.
bool Copy(QSqlQuery& query, const char* name, const char* columns)
{
    return query.exec(QStringLiteral("INSERT INTO %1(%2) SELECT %2 FROM old.%1")
                          .arg(QLatin1String(name), QString::fromUtf8(columns)));
}

// The kept exams of the attached old file, their numbers and cards as they
// were, when it has them (a file made before exams were kept has none).
bool CarryExams(QSqlQuery& query)
{
    const std::optional<bool> exam = OldHas(query, "exam");
    const std::optional<bool> answers = OldHas(query, "exam_answer");
    if (!exam || !answers)
        return false;
    return !(*exam && *answers) ||
           (Copy(query, "exam",
                 "编号,试题名,考试时间,考生姓名,客观题得分,作文得分,听力得分,单项填空得分,"
                 "完形填空得分,阅读理解得分,任务型阅读得分,作文题目,作文,作文评语") &&
            Copy(query, "exam_answer", "考试编号,题号,回答,答案,分值,得分"));
}

// The answers practised in the mistakes notebook of the attached old file,
// when it has them.
bool CarryPractice(QSqlQuery& query)
{
    const std::optional<bool> has = OldHas(query, "practice");
    return has && (!*has || Copy(query, "practice", "考生姓名,卷名,题号,练习时间,回答,正确"));
}

// The class outbox of the attached old file, sent and waiting, when it has
// one (the new file makes it only when it queues a parcel).
bool CarryOutbox(QSqlQuery& query)
{
    const std::optional<bool> has = OldHas(query, "class_outbox");
    return has && (!*has || (query.exec(QString::fromUtf8(Sql::CreateOutbox.text)) &&
                             Copy(query, "class_outbox", "uid,parcel,sent")));
}

} // namespace

qsizetype WordFile::CarryGrades(const QSqlDatabase& db, const QString& oldPath, QString* error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS old"));
    query.addBindValue(oldPath);
    if (!query.exec()) {
        *error = query.lastError().text();
        return -1;
    }
    // The grades, the kept exams and the practice together, or none of them.
    qsizetype count = -1;
    if (!query.exec(QStringLiteral("SAVEPOINT carry"))) {
        *error = query.lastError().text();
    } else {
        if (query.exec(QStringLiteral("INSERT INTO grades(试题名,考试时间,考生姓名,成绩) "
                                      "SELECT 试题名,考试时间,考生姓名,成绩 FROM old.grades"))) {
            count = query.numRowsAffected();
            if (!CarryExams(query) || !CarryPractice(query) || !CarryOutbox(query))
                count = -1;
        }
        if (count < 0) {
            *error = query.lastError().text();
            query.exec(QStringLiteral("ROLLBACK TO carry"));
        }
        query.exec(QStringLiteral("RELEASE carry"));
    }
    query.exec(QStringLiteral("DETACH DATABASE old"));
    return count;
}
