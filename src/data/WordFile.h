#pragma once

#include <QString>

class QSqlDatabase;

// What the build step ordwin-mkdb and the program's start-up both do with a
// word.mdb file.
namespace WordFile {

// The content stamp of an open database: a digest of every source the file
// was generated from (table `content`, written by ordwin-mkdb). Empty when the
// file has none.
QString ContentStamp(const QSqlDatabase& db);

// Appends the grades of the database file `oldPath` to those of the open
// database `db`, its kept exams with their answer cards, the answers
// practised in the mistakes notebook and its class outbox when it has them.
// Returns the number of grade rows carried over, or -1 with the reason in
// *error; then no row has been added.
qsizetype CarryGrades(const QSqlDatabase& db, const QString& oldPath, QString* error);

} // namespace WordFile
