#include "Mci.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

#include <map>

namespace {

class MediaDevice : public Mci::Device
{
public:
    MediaDevice()
    {
        m_player.setAudioOutput(&m_output);
        QObject::connect(&m_player, &QMediaPlayer::errorOccurred, &m_player,
                         [this](QMediaPlayer::Error, const QString& text) { Fail(text); });
    }

    bool Load(const QString& path) override
    {
        m_player.setSource(QUrl::fromLocalFile(path));
        return true;
    }

    void Play() override
    {
        m_player.setPosition(0);
        m_player.play();
    }

    void Stop() override { m_player.stop(); }

    QMediaPlayer* Player() { return &m_player; }

private:
    QAudioOutput m_output;
    QMediaPlayer m_player;
};

std::unique_ptr<Mci::Device> MakeMediaDevice()
{
    // Qt's FFmpeg media backend crashes on a machine without an audio device;
    // GStreamer plays into a silent sink there.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    return std::make_unique<MediaDevice>();
}

Mci::Factory& CurrentFactory()
{
    static Mci::Factory factory;
    return factory;
}

std::map<QString, std::unique_ptr<Mci::Device>>& Devices()
{
    static std::map<QString, std::unique_ptr<Mci::Device>> devices;
    return devices;
}

// Devices are freed while the application still exists.
void CloseAll()
{
    Devices().clear();
}

} // namespace

void Mci::Device::SetFailureListener(FailureListener listener)
{
    m_listener = std::move(listener);
    Tell();
}

void Mci::Device::Fail(const QString& reason)
{
    if (m_failed)
        return;
    m_failed = true;
    m_failure = reason;
    Tell();
}

void Mci::Device::Tell()
{
    if (!m_failed || m_told || !m_listener)
        return;
    m_told = true;
    m_listener(m_failure);
}

Mci::Factory Mci::SetDeviceFactory(Factory factory)
{
    Factory previous = std::move(CurrentFactory());
    CurrentFactory() = std::move(factory);
    return previous;
}

bool Mci::Open(const QString& path, const QString& alias)
{
    auto& devices = Devices();
    if (devices.count(alias))
        return false;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return false;
    std::unique_ptr<Device> device = CurrentFactory() ? CurrentFactory()() : MakeMediaDevice();
    if (!device || !device->Load(path))
        return false;
    static const bool cleanupRegistered = [] {
        qAddPostRoutine(CloseAll);
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    devices.emplace(alias, std::move(device));
    return true;
}

bool Mci::SendString(const QString& command)
{
    const QStringList words = command.simplified().split(QLatin1Char(' '));
    if (words.size() != 2)
        return false;
    const QString& verb = words[0];
    auto& devices = Devices();
    const auto found = devices.find(words[1]);
    if (found == devices.end())
        return false;
    if (verb == QLatin1String("play")) {
        found->second->Play();
        return true;
    }
    if (verb == QLatin1String("stop")) {
        found->second->Stop();
        return true;
    }
    if (verb == QLatin1String("close")) {
        found->second->Stop();
        devices.erase(found);
        return true;
    }
    return false;
}

Mci::Device* Mci::DeviceOf(const QString& alias)
{
    auto& devices = Devices();
    const auto found = devices.find(alias);
    return found == devices.end() ? nullptr : found->second.get();
}

QMediaPlayer* Mci::PlayerOf(Device* device)
{
    auto* media = dynamic_cast<MediaDevice*>(device);
    return media ? media->Player() : nullptr;
}

bool OpenListeningDevice(const QString& fullPath)
{
    return Mci::Open(fullPath, QString::fromUtf8(ListeningAlias));
}
