#pragma once

// How the main window takes in a picture the player named: the picture is read while the window
// goes on, the pointer busy over it; what was read arrives as a signal, a picture or the sentence
// that tells the player why not. Reading another picture, or giving the read up, costs nothing.

#include "picture/loadresult.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace tilmora {

class PictureReader;

class PictureIntake final : public QObject
{
    Q_OBJECT
public:
    // Reads for `window` (its pointer and its screen's pixel ratio) with the decoder helper that
    // `decoder` runs (the installed one when empty). The helper waits for the first picture,
    // started once the window's first frame has been painted, so it never delays it.
    PictureIntake(QWidget* window, const QStringList& decoder);

    // Reads the picture at `path`; the one being read before, if any, is given up.
    void read(const QString& path);
    // The same once the window is on screen, so a file that cannot be used gets its message over
    // the window.
    void readOnceShown(const QString& path);
    // Gives up the picture being read, without a word.
    void cancel();
    [[nodiscard]] bool isReading() const { return !pathBeingRead_.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void pictureRead(const QString& path, const tilmora::LoadedPicture& picture);
    void refused(const QString& message);

private:
    void readNamedOnceShown();
    // Hands on what the reader answered: the picture, or the sentence that tells the player why not.
    void passOn(const LoadResult& result);
    void stopReading();

    QWidget* window_;
    PictureReader* reader_;
    QString pathBeingRead_;
    QString pathOnceShown_;
};

} // namespace tilmora
