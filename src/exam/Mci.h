#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMediaPlayer;

// A small media command layer in the manner of the Windows multimedia command
// strings: a file is opened as a device under an alias, and commands name the
// alias ("play mymp3", "close mymp3"). One device per alias: opening an alias
// that is open fails, and the device already open stays. Playback is
// asynchronous: a file that turns out not to play is told to whoever listens
// on the device.
namespace Mci {

// What plays a file. The default plays through Qt Multimedia.
class Device
{
public:
    virtual ~Device() = default;
    // Takes the file; false if it cannot be used.
    virtual bool Load(const QString& path) = 0;
    // Starts from the beginning and returns at once.
    virtual void Play() = 0;
    virtual void Stop() = 0;

    // Tells `listener`, once, why the file cannot be played, should the
    // device find that out: at once if it already has, else later, from the
    // event loop.
    using FailureListener = std::function<void(const QString& reason)>;
    void SetFailureListener(FailureListener listener);

protected:
    // The device's file cannot be played.
    void Fail(const QString& reason);

private:
    void Tell();
    FailureListener m_listener;
    QString m_failure;
    bool m_failed = false;
    bool m_told = false;
};

using Factory = std::function<std::unique_ptr<Device>()>;

// Replaces what makes new devices (for tests) and returns the previous
// factory; an empty factory restores Qt Multimedia.
Factory SetDeviceFactory(Factory factory);

// Opens the file as a device under the alias. Fails if the alias is open or
// the file cannot be read.
bool Open(const QString& path, const QString& alias);

// Runs a command string: "play <alias>" starts the device from the
// beginning, "stop <alias>" stops it, "close <alias>" stops and frees it.
// False for an unknown command or an alias that is not open.
bool SendString(const QString& command);

// The device open under the alias, or nullptr.
Device* DeviceOf(const QString& alias);

// The player of a Qt Multimedia device, or nullptr for any other device.
QMediaPlayer* PlayerOf(Device* device);

} // namespace Mci

// The exam's listening device: the alias "mymp3".
inline constexpr char ListeningAlias[] = "mymp3";

// Opens a recording as the listening device.
bool OpenListeningDevice(const QString& fullPath);
