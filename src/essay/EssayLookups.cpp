#include "EssayLookups.h"

#include "EssayScorer.h"
#include "ExamDb.h"

std::optional<qint64> EssayLookups::CountKnownWords(const QStringList& words)
{
    qint64 known = 0;
    const ExamDb::Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        for (const QString& word : words) {
            bool found = false;
            db.Query(Sql::FindWord, {word}, [&](const ExamDb::Row&) { found = true; });
            if (found)
                ++known;
        }
    });
    if (result != ExamDb::Result::Done)
        return std::nullopt;
    return known;
}

std::optional<int> EssayLookups::KeywordHits(const QString& paper, const QString& essay)
{
    std::optional<QString> keywords;
    const ExamDb::Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::EssayKeywords, {paper}, [&](const ExamDb::Row& row) {
            if (!keywords)
                keywords = row.Text("关键词");
        });
        if (!keywords)
            keywords = QString();
    });
    if (result != ExamDb::Result::Done)
        return std::nullopt;
    return EssayScorer::KeywordHits(*keywords, essay);
}
