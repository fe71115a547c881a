#pragma once

#include <QString>
#include <QStringList>

// The check of word.mdb at start-up: that the file is there, is a whole
// SQLite database, holds every table and column the program uses (their
// first pages readable), and can be written. It reads no more than that, so
// the start does not wait for it. It never creates the file and changes no
// data (a journal left by a writer that died is rolled back, as any reader
// would).
namespace StoreCheck {

enum class Problem
{
    None,
    Missing,       // no such file
    Unreadable,    // there, but cannot be read (detail: why)
    NotADatabase,  // not an SQLite database (empty, another kind of file)
    Damaged,       // cut short, or its tables cannot be read (detail: why)
    MissingTable,  // table: the one missing
    MissingColumn, // table and column: the one missing
    ReadOnly,      // the file, or its folder, cannot be written
};

struct Finding
{
    Problem problem = Problem::None;
    QString table;
    QString column;
    QString detail;
    // Of the tables the program adds to an older word.mdb itself (exam,
    // exam_answer, running_exam), those the file holds.
    QStringList ownTables;
    // Whether running_exam holds an exam to take up.
    bool examKept = false;
};

// The first problem the database file at `path` has, in the order above.
Finding Check(const QString& path);

} // namespace StoreCheck
