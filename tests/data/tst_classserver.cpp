#include "ClassBook.h"
#include "ClassBookDlg.h"
#include "HandIn.h"
#include "PgCluster.h"
#include "TestSupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using ClassServer::Status;

namespace {

const QString Paper = u"2010年江苏高考英语试题"_s;

// Sends an exam whose questions 01, 02, ... earn `points`; its id, or "" if unsent.
QString Send(const ClassServer::Settings& as, const QString& paper, const QList<qint16>& points)
{
    ExamRecord exam{paper, u"2026-01-05 09:00:00"_s, as.user + u"同学"_s,
                    0,     {12.5, {}, {}, {}},       {}};
    for (qint16 p : points) {
        exam.answers.append({u"0%1"_s.arg(exam.answers.size() + 1), {}, {}, 1, p});
        exam.objective += p;
    }
    const ClassServer::Parcel parcel = ClassServer::Wrap(as, exam);
    return ClassServer::Send(as, {parcel}, {}).status == Status::Done ? parcel.uid : QString();
}

} // namespace

class TestClassServer : public QObject
{
    Q_OBJECT
    PgCluster m_server;

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_server.Installed())
            QSKIP("the PostgreSQL server is not installed (Debian package postgresql)");
        QVERIFY(m_server.Start(QStringLiteral(ORDWIN_CLASS_SQL)));
        QVERIFY(m_server.AddRoles(u"ordwin_student"_s, {u"s1"_s, u"s2"_s, u"s4"_s, u"s5"_s}) &&
                m_server.AddRoles(u"ordwin_teacher"_s, {u"t1"_s}) &&
                m_server.AddRoles(u"ordwin_student"_s, {u"s3"_s}, u"not-s3-pw"_s));
    }

    // Exams wait while the server is away; sent again (answers lost), each is kept once.
    void outboxSendsEachExamOnce()
    {
        ProgramFolder folder;
        const ClassServer::Settings s2 = m_server.As(u"s2"_s);
        QVERIFY(folder.IsValid() && m_server.Stop() &&
                folder.Sql(u"UPDATE answer SET 得分=1 WHERE 题号 IN ('01','02')"_s));
        QStringList flushes;
        const auto flush = [&] {
            const ClassServer::Flushed f = ClassServer::Flush(s2);
            flushes << u"%1 %2 %3"_s.arg(int(f.outcome.status)).arg(f.sent).arg(f.waiting);
        };
        for (const QString& time : {u"2026-01-06 10:00:00"_s, u"2026-01-06 11:00:00"_s}) {
            QCOMPARE(HandIn::Record(Paper, time, u"乙"_s, {9.5, {}, {}, {}}, s2).status,
                     HandIn::Status::Recorded);
            flush();
        }
        QVERIFY(m_server.Restart());
        flush();
        flush();
        QVERIFY(folder.Sql(u"UPDATE class_outbox SET sent = NULL"_s));
        flush();
        QCOMPARE(flushes.join(u','),
                 u"%1 0 1,%1 0 2,0 2 0,0 0 0,0 2 0"_s.arg(int(Status::Unreachable)));
        QVERIFY(Progress::Csv(ClassBook::ReadHistory(s2, u"乙"_s).history)
                    .endsWith(u"\r\n%1,2026-01-06 10:00:00,11.5,2,0,0,0,0,9.5\r\n"
                              "%1,2026-01-06 11:00:00,11.5,2,0,0,0,0,9.5\r\n"_s.arg(Paper)
                                  .toUtf8()));
    }

    // A student reads only their own exams, changes none, adds only as themselves.
    void rowSecurity()
    {
        const QString s1 = Send(m_server.As(u"s1"_s), Paper, {1});
        const QString s2 = Send(m_server.As(u"s2"_s), Paper, {1});
        // The first value of `sql` run by s2 (%1 an exam of s1, %2 of s2), or "failed".
        const auto run = [&](QString sql) {
            QString value;
            const auto out = ClassServer::Run(m_server.As(u"s2"_s), [&](QSqlDatabase& db) {
                QSqlQuery query(db);
                if (!query.exec(sql.replace(u"%1"_s, s1).replace(u"%2"_s, s2)))
                    throw ExamDb::Error{query.lastError().text()};
                value = query.next() ? query.value(0).toString() : QString();
            });
            return out.status == Status::Done ? value : u"failed"_s;
        };
        QCOMPARE(run(u"SELECT count(*) FROM ordwin.exams WHERE exam_uid IN ('%1','%2')"_s), u"1"_s);
        for (const QString& sql :
             {u"UPDATE ordwin.exams SET essay = 25 WHERE exam_uid = '%2'"_s,
              u"DELETE FROM ordwin.answers WHERE exam_uid = '%2'"_s,
              u"INSERT INTO ordwin.exams (exam_uid, login, student, paper, sat_at, "
              u"objective, essay, listening, single_choice, cloze, reading, task_reading) "
              u"VALUES (gen_random_uuid(), 's1', 'x', 'p', 't', 0, 0, 0, 0, 0, 0, 0)"_s,
              u"INSERT INTO ordwin.answers (exam_uid, number) VALUES ('%1', '99')"_s,
              u"INSERT INTO ordwin.answers (exam_uid, number) VALUES ('%2', '99')"_s})
            QVERIFY2(run(sql) == u"failed"_s, qPrintable(sql));
    }

    void failuresAreNamed()
    {
        ClassServer::Settings settings = m_server.As(u"s3"_s);
        for (const Status status : {Status::Refused, Status::Unreachable}) {
            const ClassServer::Outcome outcome = ClassServer::Run(settings, [](QSqlDatabase&) {});
            const QString message = ClassServerMessage(settings, outcome);
            QCOMPARE(outcome.status, status);
            QVERIFY2(!outcome.detail.isEmpty() && message.contains(outcome.detail) &&
                         message.contains(u"127.0.0.1:%1"_s.arg(settings.port)),
                     qPrintable(message));
            settings.port = 1;
        }
    }

    void teachersBook()
    {
        const QString paper = u"班级测验"_s;
        for (const QString& login : {u"s4"_s, u"s5"_s, u"s5"_s}) // s5 misses 03 twice
            QVERIFY(!Send(m_server.As(login), paper, {1, login == u"s5"_s, 0}).isEmpty());
        const ClassBook::MissedList missed = ClassBook::MostMissed(m_server.As(u"t1"_s), paper);
        QStringList ranked{QString::number(missed.students)};
        for (const ClassBook::Missed& question : missed.questions)
            ranked << question.number + u'/' + QString::number(question.students);
        QCOMPARE(ranked, (QStringList{u"2"_s, u"03/2"_s, u"02/1"_s}));

        QStringList rows;
        for (const ClassBook::Entry& entry : ClassBook::Read(m_server.As(u"t1"_s)).entries)
            if (entry.exam.paper == paper)
                rows << u"%1 %2 %3"_s.arg(entry.className, entry.student).arg(*entry.exam.total);
        QCOMPARE(rows, (QStringList{u"高三(1)班 s4同学 13.5"_s, u"高三(1)班 s5同学 14.5"_s,
                                    u"高三(1)班 s5同学 14.5"_s}));
    }
};

QTEST_GUILESS_MAIN(TestClassServer)
#include "tst_classserver.moc"
