// What the sound module offers the program: a player made by the module's one exported function.
#pragma once

#include <QString>

namespace tori::qt {

// Plays wave files asynchronously. Made and destroyed by the module's own code, so that the
// multimedia libraries stay out of the program until the first sound.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the file at this absolute path and returns at once; any failure is silence.
    virtual void play(const QString& path) = 0;
};

// The exported function's name and type, as the program resolves them.
inline constexpr const char* kMakeSoundPlayer = "toripin_make_sound_player";
using MakeSoundPlayer = SoundPlayer* (*)();

}  // namespace tori::qt
