// The winning sound: a wave file beside the program or in the installed data folder, played
// asynchronously by the sound module beside the program; any failure is silence.
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

    // Where the file is looked for: the program's folder first, then the data folder.
    static QString find(const QString& fileName);

private:
    // The module is loaded on the first sound only: Qt Multimedia and the audio libraries it pulls
    // in would otherwise cost every start.
    bool moduleTried_ = false;
    std::unique_ptr<SoundPlayer> player_;
};

}  // namespace tori::qt
