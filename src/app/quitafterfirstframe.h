#pragma once

// Quits the application once the first frame of a window has been painted. Start-up is timed to
// that moment: the game runs with it when TILMORA_QUIT_AFTER_FIRST_FRAME=1 (the player never sets
// it), and the benchmarks' bare window stops at the same point. Any widget of the window counts,
// since the window's own background may be wholly covered by its children.

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace tilmora {

class QuitAfterFirstPaint final : public QObject
{
public:
    explicit QuitAfterFirstPaint(QWidget* window)
        : QObject(window)
        , window_(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->window() == window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the quit comes once this frame has been painted and flushed.
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace tilmora
