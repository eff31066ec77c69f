#pragma once

// Small pieces the benchmark programs share.

#include "sharedwidgets/afterfirstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace tilmora::bench {

// Counts the paint events the widgets of one window receive, so a benchmark can show that what
// it timed really painted.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(QWidget* window)
        : QObject(window)
        , window_(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    [[nodiscard]] long long count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->window() == window_)
            ++count_;
        return false;
    }

private:
    QWidget* window_;
    long long count_ = 0;
};

} // namespace tilmora::bench
