#pragma once

#include "audio/AudioPlayer.h"

#include <QString>

// The single wave player of the program and the only way the rest of it plays sound. The
// player is created on first use, on the UI thread, and destroyed at program end.

// The player, created on first use with 400 ms buffers. A failed creation raises its error
// and leaves no player, so the next call tries again.
TAudioPlayer &GetWavePlayer();
// The program's one answer to "can we play?": true when the player exists or can be
// created, that is when some device opens (the default one, else the first that does).
// Never raises; without a player each call looks for devices again.
bool WavePlayerAvailable();
// Plays the file, cutting the sound still playing. An empty name, or no sound device, does
// nothing. Errors of the file ("... is not 44,1 KHz.", the voice's messages) reach the
// caller; errors of the device while it plays go to the error handler.
void PlayWave(const QString &FileName);
// Makes Handler the output's error handler; without a player, the handler of the player
// made later. It runs on the thread that created the player (the UI thread), once for
// each failure: a device that cannot be opened, or one that vanishes while it plays.
void SetWaveErrorHandler(TWaveOutput::TErrorEvent Handler);
// The output device's name; empty without a player.
QString GetWaveDeviceName();
// Stops playing and selects the named device (compared without regard to case). An empty
// or unknown name changes nothing and reports nothing; without a player, the name is
// tried when a player is made later.
void SelectWaveDevice(const QString &Name);
// Destroys the player, if any, and forgets the handler and device asked for before it (at
// program end; also registered to run when the application object goes).
void FreeWavePlayer();
