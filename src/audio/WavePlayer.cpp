#include "audio/WavePlayer.h"

#include <QCoreApplication>
#include <memory>

namespace {

std::unique_ptr<TAudioPlayer> player;

// Asked for while there was no player (no sound device at start-up): applied when a device
// turns up and the player is made, so that its errors still reach the user and the chosen
// device is still the one that plays.
TWaveOutput::TErrorEvent pendingHandler;
QString pendingDevice;

} // namespace

TAudioPlayer &GetWavePlayer()
{
    if (!player) {
        auto created = std::make_unique<TAudioPlayer>();
        created->Output().SetBufferTime(400);
        created->Output().OnError = pendingHandler;
        if (!pendingDevice.isEmpty()) {
            try {
                created->Output().SelectDeviceByName(pendingDevice);
            } catch (...) {
                // Not there (any more): the default device plays.
            }
        }
        player = std::move(created);
        static bool registered = false;
        if (!registered && QCoreApplication::instance()) {
            // Closed while the application's event machinery still exists.
            qAddPostRoutine(FreeWavePlayer);
            registered = true;
        }
    }
    return *player;
}

bool WavePlayerAvailable()
{
    try {
        GetWavePlayer();
        return true;
    } catch (...) {
        return false;
    }
}

void PlayWave(const QString &FileName)
{
    // Without a sound device there is nothing to play; the program has said so once.
    if (FileName.isEmpty() || !WavePlayerAvailable())
        return;
    player->PlayFile(FileName);
}

void SetWaveErrorHandler(TWaveOutput::TErrorEvent Handler)
{
    pendingHandler = Handler;
    if (WavePlayerAvailable())
        player->Output().OnError = std::move(Handler);
}

QString GetWaveDeviceName()
{
    try {
        return WavePlayerAvailable() ? player->Output().DeviceName() : QString();
    } catch (...) {
        return QString();
    }
}

void SelectWaveDevice(const QString &Name)
{
    if (Name.isEmpty())
        return;
    pendingDevice = Name;
    if (!WavePlayerAvailable())
        return;
    try {
        player->StopPlaying(true);
        player->Output().SelectDeviceByName(Name);
    } catch (...) {
        // A stored device that no longer exists leaves the current one selected.
    }
}

void FreeWavePlayer()
{
    player.reset();
    pendingHandler = nullptr;
    pendingDevice.clear();
}
