#include "WordFile.h"

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

qsizetype WordFile::CarryGrades(const QSqlDatabase& db, const QString& oldPath, QString* error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS old"));
    query.addBindValue(oldPath);
    if (!query.exec()) {
        *error = query.lastError().text();
        return -1;
    }
    qsizetype count = -1;
    if (query.exec(QStringLiteral("INSERT INTO grades(试题名,考试时间,考生姓名,成绩) "
                                  "SELECT 试题名,考试时间,考生姓名,成绩 FROM old.grades")))
        count = query.numRowsAffected();
    else
        *error = query.lastError().text();
    query.exec(QStringLiteral("DETACH DATABASE old"));
    return count;
}
