// Class mode under load: 40 students hand in 20 exams each, all at once,
// against a PostgreSQL server of its own (Debian's binaries, a temporary
// folder, a free port of 127.0.0.1). Each hand-in sends its exam the way
// Ordwin does, over a connection of its own; then every exam is sent once
// more, as after answers that never arrived. Prints the median and the
// worst time of a hand-in's send and checks that the server holds every
// exam exactly once.
//   bench_classload [students] [exams]     (at most 40 and 20)

#include "ClassServer.h"
#include "PgCluster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

ExamRecord Exam(int student, int n)
{
    ExamRecord exam{QStringLiteral("负载卷%1").arg(n % 5),
                    QStringLiteral("2026-03-01 %1:%2:00")
                        .arg(8 + n / 60, 2, 10, QLatin1Char('0'))
                        .arg(n % 60, 2, 10, QLatin1Char('0')),
                    QStringLiteral("学生%1").arg(student),
                    0,
                    {15, QStringLiteral("题"), QStringLiteral("文"), QStringLiteral("评")},
                    {}};
    for (int q = 1; q <= 80; ++q) {
        const qint16 points = qint16((q + n + student) % 3 ? 1 : 0);
        exam.answers.append({QStringLiteral("%1").arg(q, 2, 10, QLatin1Char('0')),
                             QStringLiteral("A"), QStringLiteral("B"), 1, points});
        exam.objective += points;
    }
    return exam;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int students = std::clamp(argc > 1 ? atoi(argv[1]) : 40, 1, 40);
    const int exams = std::clamp(argc > 2 ? atoi(argv[2]) : 20, 1, 20);
    PgCluster server;
    if (!server.Installed() || !QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        std::fprintf(stderr, "needs Debian's postgresql and libqt6sql6-psql\n");
        return 2;
    }
    if (!server.Start(QStringLiteral(ORDWIN_CLASS_SQL)))
        return 1;
    std::vector<ClassServer::Settings> logins;
    QStringList names;
    for (int s = 1; s <= students; ++s) {
        names << QStringLiteral("b%1").arg(s, 2, 10, QLatin1Char('0'));
        logins.push_back(server.As(names.back()));
    }
    if (!server.AddRoles(QStringLiteral("ordwin_student"), names))
        return 1;

    std::mutex lock;
    QList<double> times;
    int failures = 0;
    std::vector<QList<ClassServer::Parcel>> sent(static_cast<size_t>(students));
    const auto handIn = [&](int s, bool again) {
        for (int n = 0; n < exams; ++n) {
            if (!again)
                sent[size_t(s)] << ClassServer::Wrap(logins[size_t(s)], Exam(s, n));
            QElapsedTimer timer;
            timer.start();
            const ClassServer::Outcome outcome =
                ClassServer::Send(logins[size_t(s)], {sent[size_t(s)][n]}, {});
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            const std::lock_guard<std::mutex> guard(lock);
            if (!again)
                times << ms;
            if (outcome.status != ClassServer::Status::Done) {
                ++failures;
                std::fprintf(stderr, "%s\n", qPrintable(outcome.detail));
            }
        }
    };
    QElapsedTimer wall;
    for (bool again : {false, true}) {
        wall.start();
        QList<QThread*> threads;
        for (int s = 0; s < students; ++s)
            threads << QThread::create(handIn, s, again);
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
        std::printf("%s: %d students x %d exams in %.1f s\n", again ? "sent again" : "handed in",
                    students, exams, double(wall.elapsed()) / 1000);
    }

    std::sort(times.begin(), times.end());
    std::printf("send per hand-in: median %.1f ms, worst %.1f ms\n", times[times.size() / 2],
                times.back());
    QString held;
    ClassServer::Settings admin = server.As(QStringLiteral("admin"));
    ClassServer::Run(admin, [&](QSqlDatabase& db) {
        QSqlQuery query(QStringLiteral("SELECT count(*), count(DISTINCT exam_uid), "
                                       "(SELECT count(*) FROM ordwin.answers) FROM ordwin.exams"),
                        db);
        if (query.next())
            held = QStringLiteral("%1 %2 %3")
                       .arg(query.value(0).toString(), query.value(1).toString(),
                            query.value(2).toString());
    });
    const QString expected =
        QStringLiteral("%1 %1 %2").arg(students * exams).arg(students * exams * 80);
    std::printf("server holds (exams, distinct, answers): %s, expected %s; failed sends: %d\n",
                qPrintable(held), qPrintable(expected), failures);
    return held == expected && failures == 0 ? 0 : 1;
}
