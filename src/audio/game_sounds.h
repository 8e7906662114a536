#pragma once
// Every sound of the game, made by our own code when the game starts (nothing is read from a
// file): the clips of the bank by name, and the menu's two sounds.

#include "platform/sound.h"

struct Window;

// The clips of gameSoundBank(), by their place in it.
enum GameClip : int32_t {
    clipEngineThrottle, // the player's engine pulling, one loop at engineBaseHz
    clipEngineCoast,    // the player's engine with the throttle off, same pitch, duller
    clipOpponentEngine, // an opponent's engine, buzzier, same pitch
    clipSnow,           // tyres crunching through snow, a loop
    clipOilHiss,        // tyres hissing on oil, a loop
    clipThud,           // a car striking a tree, rock or sign
    clipKnock,          // a car striking another car
    clipSnowPuff,       // snow thrown up
    clipCountdownTone,  // 3, 2 and 1
    clipGoTone,         // "GO!", an octave higher
    clipMenuTick,       // the menu's arrow moved or a setting changed
    clipMenuConfirm,    // Enter on a screen
    clipWinPhrase,      // the race won
    clipPlacePhrase,    // the race finished in any other place
    gameClipCount
};

// The pitch of the engine clips played at rate 1, in hertz: the engine at rest.
inline constexpr float engineBaseHz = 49.0f;

// The bank, synthesised on the first call (a few milliseconds) and kept for the whole run. The
// same bank every time, on every machine: no clock and no race randomness goes into it.
const SoundBank& gameSoundBank();

// The menu's sounds, started at once through the window's backend.
void playMenuTick(Window* window);
void playMenuConfirm(Window* window);
