#pragma once

#include "audio/AudioPlayer.h"

#include <QString>

// The single wave player of the program and the only way the rest of it plays sound. The
// player is created on first use, on the UI thread, and destroyed at program end.

// The player, created on first use with 400 ms buffers. A failed creation raises its error
// and leaves no player, so the next call tries again.
TAudioPlayer &GetWavePlayer();
// True when the player exists or can be created.
bool WavePlayerAvailable();
// Plays the file; an empty name does nothing. Errors reach the caller.
void PlayWave(const QString &FileName);
// Makes Handler the output's error handler, when there is a player.
void SetWaveErrorHandler(TWaveOutput::TErrorEvent Handler);
// The output device's name; empty without a player.
QString GetWaveDeviceName();
// Stops playing and selects the named device; an empty or unknown name, or no player,
// changes nothing and reports nothing.
void SelectWaveDevice(const QString &Name);
// Destroys the player, if any (at program end; also registered to run when the
// application object goes).
void FreeWavePlayer();
