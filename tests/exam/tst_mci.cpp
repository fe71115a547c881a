// The media command layer: aliases, commands, and one real playback.

#include "Mci.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Records what the layer asks of its devices.
struct FakeLog
{
    QStringList calls;
};

FakeLog g_log;

class FakeDevice : public Mci::Device
{
public:
    explicit FakeDevice(int serial) : m_serial(serial) {}
    ~FakeDevice() override { g_log.calls << QStringLiteral("free %1").arg(m_serial); }
    bool Load(const QString& path) override
    {
        g_log.calls << QStringLiteral("load %1 %2").arg(m_serial).arg(QFileInfo(path).fileName());
        return true;
    }
    void Play() override { g_log.calls << QStringLiteral("play %1").arg(m_serial); }
    void Stop() override { g_log.calls << QStringLiteral("stop %1").arg(m_serial); }

private:
    int m_serial;
};

} // namespace

class TestMci : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void oneDevicePerAlias();
    void closeFreesTheAlias();
    void commandsOnUnknownAliases_data();
    void commandsOnUnknownAliases();
    void missingFileOpensNothing();
    void realPlaybackDoesNotBlock();

private:
    QTemporaryDir m_dir;
    QString File(const char* name);
};

QString TestMci::File(const char* name)
{
    const QString path = m_dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("ID3");
    return path;
}

void TestMci::init()
{
    g_log.calls.clear();
    static int serial = 0;
    Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(++serial); });
    serial = 0;
}

void TestMci::cleanup()
{
    Mci::SendString(QStringLiteral("close mymp3"));
    Mci::SendString(QStringLiteral("close other"));
    Mci::SetDeviceFactory({});
}

void TestMci::oneDevicePerAlias()
{
    QVERIFY(Mci::Open(File("first.mp3"), QStringLiteral("mymp3")));
    Mci::Device* first = Mci::DeviceOf(QStringLiteral("mymp3"));
    QVERIFY(first);
    // A second open of the open alias fails; "play" acts on the first device.
    QVERIFY(!OpenListeningDevice(File("second.mp3")));
    QCOMPARE(Mci::DeviceOf(QStringLiteral("mymp3")), first);
    QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
    // Another alias is another device.
    QVERIFY(Mci::Open(File("third.mp3"), QStringLiteral("other")));
    QVERIFY(Mci::SendString(QStringLiteral("play other")));
    QCOMPARE(g_log.calls,
             (QStringList{QStringLiteral("load 1 first.mp3"), QStringLiteral("play 1"),
                          QStringLiteral("load 2 third.mp3"), QStringLiteral("play 2")}));
}

void TestMci::closeFreesTheAlias()
{
    QVERIFY(OpenListeningDevice(File("a.mp3")));
    QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
    QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
    QVERIFY(!Mci::SendString(QStringLiteral("play mymp3")));
    QVERIFY(OpenListeningDevice(File("b.mp3")));
    QCOMPARE(g_log.calls, (QStringList{QStringLiteral("load 1 a.mp3"), QStringLiteral("play 1"),
                                       QStringLiteral("stop 1"), QStringLiteral("free 1"),
                                       QStringLiteral("load 2 b.mp3")}));
}

void TestMci::commandsOnUnknownAliases_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("play closed") << QStringLiteral("play mymp3");
    QTest::newRow("close closed") << QStringLiteral("close mymp3");
    QTest::newRow("unknown verb") << QStringLiteral("rewind mymp3");
    QTest::newRow("no alias") << QStringLiteral("play");
    QTest::newRow("empty") << QString();
}

void TestMci::commandsOnUnknownAliases()
{
    QFETCH(QString, command);
    QVERIFY(!Mci::SendString(command));
    QVERIFY(g_log.calls.isEmpty());
}

void TestMci::missingFileOpensNothing()
{
    QVERIFY(!OpenListeningDevice(m_dir.filePath(QStringLiteral("missing.mp3"))));
    QVERIFY(!OpenListeningDevice(m_dir.path()));
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
    QVERIFY(g_log.calls.isEmpty());
}

// Through Qt Multimedia into whatever sink the machine has (a silent one
// without a sound card): no error, and the event loop keeps running.
void TestMci::realPlaybackDoesNotBlock()
{
    Mci::SetDeviceFactory({});
    QVERIFY(OpenListeningDevice(QStringLiteral(ORDWIN_TEST_MP3)));
    QMediaPlayer* player = Mci::PlayerOf(Mci::DeviceOf(QStringLiteral("mymp3")));
    QVERIFY(player);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
    QTRY_VERIFY_WITH_TIMEOUT(
        player->position() > 0 || player->mediaStatus() == QMediaPlayer::EndOfMedia, 10000);
    QCOMPARE(player->error(), QMediaPlayer::NoError);
    QVERIFY(ticks > 0);
    QVERIFY(player->duration() > 500);
    QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
}

QTEST_GUILESS_MAIN(TestMci)
#include "tst_mci.moc"
