#pragma once

// The game's window as the benchmark programs set it up: no message box waits for a player, and
// the deal is the same on every run.

#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"

#include <QCoreApplication>

#include <memory>

namespace tilmora::bench {

// Message boxes nobody answers: a benchmark that wins a game, or loads a picture that fails,
// goes on without waiting.
class QuietMessages final : public MessageBoxes
{
public:
    void inform(QWidget* /*parent*/, const QString& /*text*/) override {}
    void warn(QWidget* /*parent*/, const QString& /*text*/) override {}
};

inline frmmain::Services benchServices()
{
    frmmain::Services services;
    services.messages = std::make_shared<QuietMessages>();
    services.seed = 20240601;
    services.decoder = QStringList{QStringLiteral(TILMORA_DECODER)};
    return services;
}

// Loads a picture as the player does and waits until it is read; whether it was taken.
inline bool loadAndWait(frmmain& window, const QString& path)
{
    window.loadPictureFile(path);
    while (window.isReadingPicture())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return window.picturefile() == path;
}

} // namespace tilmora::bench
