// The winning sound.
#include "platform/qt/sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace tori::qt {

Sound::Sound() = default;
Sound::~Sound() = default;

QString Sound::find(const QString& fileName) {
    const QDir app(QCoreApplication::applicationDirPath());
    const QStringList folders = {app.path(), app.filePath(QStringLiteral(TORIPIN_DATADIR_FROM_APP))};
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(fileName));
        if (candidate.isFile() && candidate.isReadable()) return candidate.absoluteFilePath();
    }
    return {};
}

bool Sound::play(const QString& fileName) {
    const QString path = find(fileName);
    if (path.isEmpty()) return false;
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(path);
    if (effect_->source() != source) effect_->setSource(source);  // loads in the background
    effect_->play();  // starts when loaded; a broken file or no audio device stays silent
    return true;
}

}  // namespace tori::qt
