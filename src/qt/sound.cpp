// The winning sound.
#include "qt/sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "qt/sound_player.h"

namespace tori::qt {

namespace {

// The player from the module beside the program, or null when the module is missing or broken.
// The library stays loaded: the player's code lives in it.
SoundPlayer* loadPlayer() {
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(TORIPIN_SOUND_MODULE)));
    const auto make = reinterpret_cast<MakeSoundPlayer>(module.resolve(kMakeSoundPlayer));
    return make ? make() : nullptr;
}

}  // namespace

Sound::Sound() = default;
Sound::~Sound() = default;

// The sound is installed beside the program, with its help file; nowhere else is looked at.
QString Sound::find(const QString& fileName) {
    const QFileInfo candidate(QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
    if (candidate.isFile() && candidate.isReadable()) return candidate.absoluteFilePath();
    return {};
}

bool Sound::play(const QString& fileName) {
    const QString path = find(fileName);
    if (path.isEmpty()) return false;
    if (!moduleTried_) {
        moduleTried_ = true;
        player_.reset(loadPlayer());
    }
    if (!player_) return false;
    player_->play(path);
    return true;
}

}  // namespace tori::qt
