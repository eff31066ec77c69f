#pragma once

#include <QtGlobal>

namespace tilmora {

// While a picture is read, what Qt's picture readers print about a file they turn down (a Targa
// type they do not know, an icon directory that does not add up, libpng's notes on a colour
// profile) is dropped: the message box already tells the player, and nothing else would read it.
// Critical messages, and the game's own at any level, still go out.
class QuietPictureReaders
{
public:
    QuietPictureReaders() { previous_ = qInstallMessageHandler(&QuietPictureReaders::filter); }
    ~QuietPictureReaders() { qInstallMessageHandler(previous_); }
    QuietPictureReaders(const QuietPictureReaders&) = delete;
    QuietPictureReaders& operator=(const QuietPictureReaders&) = delete;
    QuietPictureReaders(QuietPictureReaders&&) = delete;
    QuietPictureReaders& operator=(QuietPictureReaders&&) = delete;

private:
    static void filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        const bool ours = context.category != nullptr && qstrncmp(context.category, "tilmora", 7) == 0;
        if (ours || type == QtCriticalMsg || type == QtFatalMsg)
            previous_(type, context, message);
    }

    static inline QtMessageHandler previous_ = nullptr;
};

} // namespace tilmora
