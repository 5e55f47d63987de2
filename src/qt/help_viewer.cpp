// The help viewer.
#include "qt/help_viewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "qt/look.h"

namespace tori::qt {

HelpViewer::HelpViewer() {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("トリピン ヘルプ"));
    setWindowIcon(appIcon());
    resize(640, 520);
    // Links are followed here, never handed to another program.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpViewer::follow);
}

bool HelpViewer::insideHelpFolder(const QString& path) const {
    if (folder_.isEmpty()) return false;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && canonical.startsWith(folder_ + QLatin1Char('/'));
}

void HelpViewer::open(const QString& path) {
    file_ = path;
    const QFileInfo info(path);
    folder_ = info.canonicalPath();
    QFile f(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        folder_.clear();
        setSearchPaths({});
        setPlainText(QStringLiteral("ヘルプファイル %1 を開けません。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QByteArray bytes = f.readAll();
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    setSearchPaths({folder_});
    setHtml(decoder.decode(bytes));
    moveCursor(QTextCursor::Start);
}

void HelpViewer::follow(const QUrl& link) {
    if (link.scheme().isEmpty() || link.isLocalFile()) {
        if (link.path().isEmpty() || link.path() == QFileInfo(file_).fileName()) {
            if (link.hasFragment()) scrollToAnchor(link.fragment());
            return;
        }
        const QString target = link.isLocalFile() ? link.toLocalFile() : QDir(folder_).filePath(link.path());
        if (!insideHelpFolder(target)) return;
        open(target);
        if (link.hasFragment()) scrollToAnchor(link.fragment());
    }
    // Anything else (web addresses, mail, programs) is not opened.
}

QVariant HelpViewer::loadResource(int type, const QUrl& name) {
    // Only files inside the help folder, such as its pictures, may be loaded.
    if (!name.scheme().isEmpty() && !name.isLocalFile()) return {};
    const QString path = name.isLocalFile() ? name.toLocalFile() : QDir(folder_).filePath(name.path());
    if (!insideHelpFolder(path)) return {};
    return QTextBrowser::loadResource(type, QUrl::fromLocalFile(path));
}

}  // namespace tori::qt
