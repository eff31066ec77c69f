#pragma once

// Runs an action once, after the first frame of a window has been painted: what the player waits for
// at start-up comes first. The game starts its decoder helper then; timed start-ups quit then (the
// game with TILMORA_QUIT_AFTER_FIRST_FRAME=1, which the player never sets, and the benchmarks' bare
// window). Any widget of the window counts, since the window's own background may be wholly covered
// by its children.

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <functional>
#include <utility>

namespace tilmora {

class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget* window, std::function<void()> action)
        : QObject(window)
        , window_(window)
        , action_(std::move(action))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->window() == window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the action comes once this frame has been painted and flushed.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    action_();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
    std::function<void()> action_;
};

} // namespace tilmora
