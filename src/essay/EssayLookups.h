#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the essay's scoring reads from the database.
namespace EssayLookups {

// How many of the words are in the word list, looked up one by one on one
// read connection. Nothing when the lookups could not be made (reported).
std::optional<qint64> CountKnownWords(const QStringList& words);

// The paper's essay keywords found in the essay: the first keyword row of
// the paper is used; a paper without one has an empty list, which every
// essay meets. Nothing when the keywords could not be read (reported): an
// essay is not marked off its task for a database that failed.
std::optional<int> KeywordHits(const QString& paper, const QString& essay);

} // namespace EssayLookups
