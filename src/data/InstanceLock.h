#pragma once

#include <QLockFile>
#include <QString>

// One running copy of the program per data folder: a second copy on the same
// word.mdb would clear the first one's answers at its exam start. The lock is
// a file beside the database, "word.mdb.lock", held for the whole run; a lock
// left behind by a copy that crashed is taken over, as its process is gone.
class InstanceLock
{
public:
    enum class State
    {
        Held,        // this copy holds the lock
        OtherCopy,   // another running copy holds it
        Unavailable, // no database to guard, or no lock file can be made
                     // (a read-only folder...): the copy runs unguarded
    };

    explicit InstanceLock(const QString& databasePath);

    // Takes the lock if it is free (or stale); does not wait.
    State Acquire();

private:
    QString m_database;
    QLockFile m_lock;
};
