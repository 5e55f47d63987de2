// The winning sound: a wave file beside the program, played asynchronously by the sound module
// beside the program; any failure is silence.
#pragma once

#include <memory>

#include <QString>

namespace tori::qt {

class SoundPlayer;

class Sound {
public:
    Sound();
    ~Sound();

    // Starts playing the named file and returns at once. Returns false when the file was not found
    // or there is no sound module to play it.
    bool play(const QString& fileName);

    // The file in the program's folder, or empty when it is not there.
    static QString find(const QString& fileName);

private:
    // The module is loaded on the first sound only: Qt Multimedia and the audio libraries it pulls
    // in would otherwise cost every start.
    bool moduleTried_ = false;
    std::unique_ptr<SoundPlayer> player_;
};

}  // namespace tori::qt
