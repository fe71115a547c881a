#pragma once

// Its own PostgreSQL cluster (pgcluster.sh) on a free local port; passwords in PGPASSFILE.

#include "ClassServer.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

class PgCluster
{
public:
    ~PgCluster() { Stop(); }
    bool Installed() const { return Script(u"check"_qs); }
    bool Start(const QString& schema)
    {
        QTcpServer probe; // finds a free port, and gives it up for the server
        if (!m_dir.isValid() || !probe.listen(QHostAddress::LocalHost))
            return false;
        m_port = probe.serverPort();
        probe.close();
        qputenv("PGPASSFILE", m_dir.filePath(u"pgpass"_qs).toUtf8());
        return m_running = Script(u"init"_qs, {schema});
    }
    // Logins in `group`; with `wrong`, the PGPASSFILE holds that password.
    bool AddRoles(const QString& group, const QStringList& logins, const QString& wrong = {})
    {
        return Script(u"roles"_qs, QStringList{group, wrong} + logins);
    }
    bool Stop() { return !(m_running = m_running && !Script(u"stop"_qs)); }
    bool Restart() { return m_running = m_running || Script(u"start"_qs); }
    ClassServer::Settings As(const QString& user) const
    {
        return {u"127.0.0.1"_qs, m_port, u"postgres"_qs, user, {}, 2, u"高三(1)班"_qs, {}};
    }

private:
    bool Script(const QString& action, const QStringList& more = {}) const
    {
        QProcess process;
        const QString script = QStringLiteral(ORDWIN_PGCLUSTER), port = QString::number(m_port);
        process.start(u"sh"_qs, QStringList{script, action, m_dir.path(), port} + more);
        if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            return true;
        qWarning().noquote() << action << more << process.readAllStandardError();
        return false;
    }

    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_running = false;
};
