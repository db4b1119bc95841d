#include "audio/WavePlayer.h"

#include <QCoreApplication>
#include <memory>

namespace {

std::unique_ptr<TAudioPlayer> player;

} // namespace

TAudioPlayer &GetWavePlayer()
{
    if (!player) {
        auto created = std::make_unique<TAudioPlayer>();
        created->Output().SetBufferTime(400);
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
    if (Name.isEmpty() || !WavePlayerAvailable())
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
}
