// Essay benchmarks.
//
//   bench_essay [program folder]
//
// (a) The analysis of a 10 KB and of a 1 MB text: the time should grow with
//     the length (goal: the 1 MB text at most 120 times the 10 KB one).
// (b) The whole submission path for a 160-word essay with 100 distinct words
//     (analysis, known-word lookups, keyword query, scoring), against the
//     bare 100 lookups over one prepared statement on one connection (goal:
//     at most 2 times).
// Run it with the program folder (default: the build's), whose word.mdb is
// copied to a scratch folder first.

#include "EssayAnalysis.h"
#include "EssayLookups.h"
#include "EssayScorer.h"

#include "Scratch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// The fastest of several runs: what the work costs when nothing else on the
// machine gets in its way.
double BestMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

QString Text(qsizetype bytes)
{
    const QString sentence = QStringLiteral("Last week our class visited an old people's home, and "
                                            "we \"sang\" songs; the old people smiled! ");
    QString text;
    while (text.size() < bytes)
        text += sentence;
    text.truncate(bytes);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString folder = Bench::FolderArgument(argc, argv, ORDWIN_PROGRAM_DIR);

    // (a)
    const QString small = Text(10 * 1024);
    const QString large = Text(1024 * 1024);
    const double smallMs = BestMs(101, [&] { AnalyseEssay(small); });
    const double largeMs = BestMs(21, [&] { AnalyseEssay(large); });
    out << "(a) analysis: 10 KB " << QString::number(smallMs, 'f', 3) << " ms, 1 MB "
        << QString::number(largeMs, 'f', 1) << " ms, ratio "
        << QString::number(largeMs / smallMs, 'f', 1) << " (goal: at most 120)\n";

    // (b)
    QTemporaryDir scratch;
    if (!Bench::EnterScratch(scratch, folder)) {
        out << "no word.mdb in " << folder << '\n';
        return 1;
    }
    QStringList vocabulary;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("words"));
        db.setDatabaseName(scratch.filePath(QStringLiteral("word.mdb")));
        db.open();
        QSqlQuery query(
            QStringLiteral("SELECT 单词 FROM word WHERE length(单词) BETWEEN 3 AND 8 AND "
                           "单词 NOT LIKE '%''%' AND 单词 = lower(单词) LIMIT 100 OFFSET 5000"),
            db);
        while (query.next())
            vocabulary << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("words"));
    QStringList words;
    for (int i = 0; i < 160; ++i)
        words << vocabulary[i < 100 ? i : i % 60];
    QString essay;
    for (int i = 0; i < words.size(); ++i)
        essay += words[i] + ((i + 1) % 10 == 0 ? QStringLiteral(". ") : QStringLiteral(" "));
    const QString paper = QStringLiteral("2010年江苏高考英语试题");

    int known = 0;
    const auto wholePath = [&] {
        const EssayCounts counts = AnalyseEssay(essay);
        known = EssayLookups::CountKnownWords(counts.distinctWords).value_or(-1);
        EssayScorer::Inputs in;
        in.nWords = counts.nWords;
        in.nDistinct = counts.nDistinct();
        in.nKnown = known;
        in.nMarks = counts.nMarks;
        in.keywordHits = EssayLookups::KeywordHits(paper, essay).value_or(0);
        in.seconds = 1765000000;
        EssayScorer::Score(in);
    };
    const auto bareLookups = [&] {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
            db.setDatabaseName(scratch.filePath(QStringLiteral("word.mdb")));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            db.open();
            QSqlQuery query(db);
            query.setForwardOnly(true);
            query.prepare(QStringLiteral("SELECT * FROM word WHERE 单词=?;"));
            for (int i = 0; i < 100; ++i) {
                query.bindValue(0, vocabulary[i]);
                query.exec();
                query.next();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    };
    wholePath();
    bareLookups();
    const double pathMs = BestMs(201, wholePath);
    const double bareMs = BestMs(201, bareLookups);
    const EssayCounts counts = AnalyseEssay(essay);
    out << "(b) essay of " << counts.nWords << " words, " << counts.nDistinct() << " distinct, "
        << known << " known\n    whole submission path " << QString::number(pathMs, 'f', 3)
        << " ms, bare 100 lookups " << QString::number(bareMs, 'f', 3) << " ms, ratio "
        << QString::number(pathMs / bareMs, 'f', 2) << " (goal: at most 2)\n";
    return 0;
}
