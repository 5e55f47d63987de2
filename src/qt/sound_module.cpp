// The sound module: the winning sound played by Qt Multimedia, loaded by the program on first use.
#include <QSoundEffect>
#include <QUrl>

#include "qt/sound_player.h"

namespace tori::qt {
namespace {

class EffectPlayer final : public SoundPlayer {
public:
    void play(const QString& path) override {
        const QUrl source = QUrl::fromLocalFile(path);
        if (effect_.source() != source) effect_.setSource(source);  // loads in the background
        effect_.play();  // starts when loaded; a broken file or no audio device stays silent
    }

private:
    QSoundEffect effect_;
};

}  // namespace
}  // namespace tori::qt

extern "C" Q_DECL_EXPORT tori::qt::SoundPlayer* toripin_make_sound_player() {
    return new tori::qt::EffectPlayer;
}
