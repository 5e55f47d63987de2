// The help viewer: a window showing the HTML help file; it follows links inside the help folder only.
#pragma once

#include <QTextBrowser>

namespace tori::qt {

class HelpViewer : public QTextBrowser {
public:
    HelpViewer();

    // Shows the file at its beginning; a file that cannot be read is reported in the window.
    void open(const QString& path);

    QString shownFile() const { return file_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void follow(const QUrl& link);
    bool insideHelpFolder(const QString& path) const;

    QString file_;
    QString folder_;
};

}  // namespace tori::qt
