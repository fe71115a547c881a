// Ordwin installed the Linux way: `cmake --install` into a temporary DESTDIR
// with the prefix /usr, a home folder of its own, and a working folder that
// has nothing to do with the program.

#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTest>

class TestInstalled : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_usr, m_user, m_elsewhere;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_usr = m_root.filePath(QStringLiteral("dest/usr"));
        m_user = m_root.filePath(QStringLiteral("home/.local/share/Calvreth/Ordwin"));
        m_elsewhere = m_root.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(m_elsewhere));
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_root.filePath(QStringLiteral("dest")));
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(ORDWIN_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(ORDWIN_BUILD_DIR),
                       QStringLiteral("--prefix"), QStringLiteral("/usr")});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());

        qputenv("HOME", m_root.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_DATA_HOME",
                m_root.filePath(QStringLiteral("home/.local/share")).toLocal8Bit());
        QVERIFY(QDir::setCurrent(m_elsewhere));
    }

    void layout()
    {
        const QDir usr(m_usr);
        QVERIFY(QFileInfo(usr.filePath(QStringLiteral("bin/ordwin"))).isExecutable());
        QVERIFY(!QDir(usr.filePath(QStringLiteral("share/ordwin/etp"))).isEmpty());
        QVERIFY(!QDir(usr.filePath(QStringLiteral("share/ordwin/elm"))).isEmpty());
        const QString pristine = usr.filePath(QStringLiteral("share/ordwin/word.mdb"));
        QCOMPARE(DatabaseColumn(pristine, QStringLiteral("SELECT COUNT(*) FROM grades")),
                 QStringList{QStringLiteral("0")});
        const QStringList expected{
            QStringLiteral("applications/com.calvreth.Ordwin.desktop"),
            QStringLiteral("metainfo/com.calvreth.Ordwin.metainfo.xml"),
            QStringLiteral("icons/hicolor/scalable/apps/com.calvreth.Ordwin.svg"),
            QStringLiteral("icons/hicolor/48x48/apps/com.calvreth.Ordwin.png")};
        for (const QString& file : expected)
            QVERIFY2(QFileInfo::exists(usr.filePath(QStringLiteral("share/") + file)),
                     qPrintable(file));
    }

    // The installed executable itself, started from the unrelated folder, finds
    // its content and makes the user's data folder; it is still running then.
    void installedProgramStarts()
    {
        QProcess ordwin;
        ordwin.setWorkingDirectory(m_elsewhere);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        ordwin.setProcessEnvironment(env);
        ordwin.start(m_usr + QStringLiteral("/bin/ordwin"));
        QVERIFY(ordwin.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_user + QStringLiteral("/word.mdb")), 30000);
        QTest::qWait(500);
        QCOMPARE(ordwin.state(), QProcess::Running);
        ordwin.kill();
        ordwin.waitForFinished();
        QVERIFY(QDir(m_elsewhere).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "tst_installed.moc"
