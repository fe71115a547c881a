#include "WordFile.h"

#include "Statements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

QString WordFile::ContentStamp(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT stamp FROM content")) || !query.next())
        return {};
    return query.value(0).toString();
}

namespace {

// The kept exams of the attached old file, their numbers and cards as they
// were, when it has them (a file made before exams were kept has none).
bool CarryExams(QSqlQuery& query)
{
    if (!query.exec(QStringLiteral("SELECT count(*) FROM old.sqlite_master "
                                   "WHERE type='table' AND name IN ('exam','exam_answer')")) ||
        !query.next())
        return false;
    if (query.value(0).toInt() != 2)
        return true;
    const QString exam =
        QStringLiteral("编号,试题名,考试时间,考生姓名,客观题得分,作文得分,听力得分,"
                       "单项填空得分,完形填空得分,阅读理解得分,任务型阅读得分,"
                       "作文题目,作文,作文评语");
    const QString answer = QStringLiteral("考试编号,题号,回答,答案,分值,得分");
    return query.exec(QStringLiteral("INSERT INTO exam(%1) SELECT %1 FROM old.exam").arg(exam)) &&
           query.exec(QStringLiteral("INSERT INTO exam_answer(%1) SELECT %1 FROM old.exam_answer")
                          .arg(answer));
}

// The answers practised in the mistakes notebook of the attached old file,
// when it has them.
bool CarryPractice(QSqlQuery& query)
{
    if (!query.exec(QStringLiteral("SELECT count(*) FROM old.sqlite_master "
                                   "WHERE type='table' AND name='practice'")) ||
        !query.next())
        return false;
    if (query.value(0).toInt() != 1)
        return true;
    return query.exec(QStringLiteral("INSERT INTO practice(%1) SELECT %1 FROM old.practice")
                          .arg(QStringLiteral("考生姓名,卷名,题号,练习时间,回答,正确")));
}

// The class outbox of the attached old file, sent and waiting, when it has one.
bool CarryOutbox(QSqlQuery& query)
{
    if (!query.exec(QStringLiteral("SELECT count(*) FROM old.sqlite_master "
                                   "WHERE type='table' AND name='class_outbox'")) ||
        !query.next())
        return false;
    return query.value(0).toInt() == 0 ||
           (query.exec(QString::fromUtf8(Sql::CreateOutbox.text)) &&
            query.exec(QStringLiteral("INSERT INTO class_outbox(uid,parcel,sent) "
                                      "SELECT uid,parcel,sent FROM old.class_outbox")));
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
