#pragma once

// A picture dragged onto the main window: one local file, taken as a copy.

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tilmora {

// Takes drags of one local file onto `window` as a copy (the game only reads the file, so the file
// manager never takes it away) and refuses any other as it hovers, so the pointer says it cannot
// be dropped. A file dropped goes to `open` once the drop is over, so the file manager is not kept
// waiting while the picture is read or a message is up.
class PictureDropTarget final : public QObject
{
    Q_OBJECT
public:
    PictureDropTarget(QWidget* window, std::function<void(const QString&)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> open_;
};

} // namespace tilmora
