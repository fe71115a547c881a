// The media command layer: aliases, commands, and one real playback.

#include "Mci.h"

#include <QDir>
#include <QMediaPlayer>
#include <QTest>
#include <QTimer>

namespace {

const QString Recording = QStringLiteral(ORDWIN_TEST_MP3);
QStringList g_calls; // what the layer asked of its devices, in order
int g_serial = 0;

struct FakeDevice : Mci::Device
{
    int serial = ++g_serial;
    void Log(const char* call) { g_calls << QString::fromLatin1(call) + QString::number(serial); }
    ~FakeDevice() override { Log("free"); }
    bool Load(const QString& path) override
    {
        Log("load");
        return path == Recording;
    }
    void Play() override { Log("play"); }
    void Stop() override { Log("stop"); }
};

} // namespace

class TestMci : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aliases()
    {
        Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
        QVERIFY(!OpenListeningDevice(QDir::temp().filePath(QStringLiteral("missing.mp3"))));
        QVERIFY(!OpenListeningDevice(QDir::tempPath()));
        QVERIFY(OpenListeningDevice(Recording));
        QVERIFY(!OpenListeningDevice(Recording)); // the alias is open
        QVERIFY(Mci::Open(Recording, QStringLiteral("other")));
        for (const char* refused : {"play none", "rewind mymp3", "play", "play mymp3 now"})
            QVERIFY2(!Mci::SendString(QString::fromLatin1(refused)), refused);
        QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(Mci::SendString(QStringLiteral("stop other")));
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
        QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
        QVERIFY(!Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(OpenListeningDevice(Recording));
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
        QVERIFY(Mci::SendString(QStringLiteral("close other")));
        Mci::SetDeviceFactory({});
        QCOMPARE(g_calls.join(QLatin1Char(',')),
                 QStringLiteral("load1,load2,play1,stop2,stop1,free1,load3,stop3,"
                                "free3,stop2,free2"));
    }

    // Through Qt Multimedia into whatever sink the machine has (a silent one
    // without a sound card): no error, and the event loop keeps running.
    void realPlaybackDoesNotBlock()
    {
        QVERIFY(OpenListeningDevice(Recording));
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
        // Played again from further on, it starts over.
        player->setPosition(1000);
        QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(player->position() < 1000);
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
    }
};

QTEST_GUILESS_MAIN(TestMci)
#include "tst_mci.moc"
