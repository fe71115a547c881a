#include "InstanceLock.h"

#include <QFileInfo>

// The lock file is named by its full path: its owner removes it at exit,
// whatever the current directory is then.
InstanceLock::InstanceLock(const QString& databasePath)
    : m_database(QFileInfo(databasePath).absoluteFilePath()),
      m_lock(m_database + QLatin1String(".lock"))
{
    // Held for as long as the program runs: only a dead process makes the
    // lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

InstanceLock::State InstanceLock::Acquire()
{
    // Nor is a lock file left in a folder that holds no database.
    if (!QFileInfo::exists(m_database))
        return State::Unavailable;
    if (m_lock.tryLock(0))
        return State::Held;
    return m_lock.error() == QLockFile::LockFailedError ? State::OtherCopy : State::Unavailable;
}
