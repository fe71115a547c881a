#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// Where the program's data lives, decided once at start-up. Everything else
// finds word.mdb, etp/ and elm/ by relative name in the current directory and
// knows nothing of what follows.
//
// Portable: word.mdb lies beside the executable, as in the build's program
// folder. That folder is the data folder, used as it is.
//
// Installed: the executable is <prefix>/bin/ordwin and the content it came
// with is in <prefix>/share/ordwin (the pristine word.mdb, etp/, elm/). Each
// user has a data folder of their own, <data location>/Calvreth/Ordwin, with
// a copy of word.mdb and links etp and elm into the installed content.
// - First start: the pristine word.mdb is copied there.
// - Installed content changed since the copy was made (their content stamps
//   differ): the pristine file replaces the copy, keeping the copy's grades.
// - The copy cannot be read as a database: it is renamed aside with the date
//   and time, and a fresh copy is made.
// A new file is always written beside the old one and renamed over it, so a
// failure leaves the old file as it was.
namespace DataFolder {

// What the student is told. Each value is the id of its text in the string
// table; the text takes the arguments listed.
enum class Notice
{
    Unusable = 201,        // %1 the data folder, %2 the reason
    PristineMissing = 202, // %1 the installed database
    Damaged = 203,         // %1 the database, %2 the name it was put aside under
    UpdateFailed = 204,    // %1 the reason
};

struct Message
{
    Notice notice;
    QStringList args;
};

struct Outcome
{
    QString folder; // the data folder; empty when there is none
    bool portable = false;
    std::vector<Message> messages;
};

// The installed content, relative to the executable's folder.
inline constexpr char ContentFolder[] = "../share/ordwin";
// The user's data folder, relative to the user's data location.
inline constexpr char UserFolder[] = "Calvreth/Ordwin";

// Decides and prepares the data folder of an executable in `programDir`, with
// `userDir` the user's data folder; `now` dates a damaged file put aside.
Outcome Prepare(const QString& programDir, const QString& userDir, const QDateTime& now);

// Prepare for the user running the program, then makes the data folder the
// current directory.
Outcome Enter(const QString& programDir);

} // namespace DataFolder
