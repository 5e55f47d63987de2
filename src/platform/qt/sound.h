// The winning sound: a wave file beside the program or in the installed data folder, played
// asynchronously; any failure is silence.
#pragma once

#include <memory>

#include <QString>

class QSoundEffect;

namespace tori::qt {

class Sound {
public:
    Sound();
    ~Sound();

    // Starts playing the named file and returns at once. Returns false when the file was not found.
    bool play(const QString& fileName);

    // Where the file is looked for: the program's folder first, then the data folder.
    static QString find(const QString& fileName);

private:
    std::unique_ptr<QSoundEffect> effect_;  // made on first use: start-up stays fast
};

}  // namespace tori::qt
