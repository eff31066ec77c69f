#pragma once

// Stand-ins for the file dialog, the message boxes and the clocks, so window tests never wait for
// a person and choose the time themselves.

#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"
#include "mainwindow/picturechooser.h"
#include "puzzle/gameclock.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tilmora::testing {

// Answers the dialog with whatever the test put in `next`; nothing means the player cancelled.
class FakeChooser final : public PictureChooser
{
public:
    std::optional<QString> next;
    int shown = 0;

    std::optional<QString> choosePicture(QWidget* /*parent*/) override
    {
        ++shown;
        return next;
    }
};

// Records every box instead of showing it. `onMessage` runs while the box would be up, so a test
// can look at the window at exactly that moment.
class FakeMessages final : public MessageBoxes
{
public:
    QStringList informed;
    QStringList warned;
    std::function<void(const QString&)> onMessage;

    void inform(QWidget* /*parent*/, const QString& text) override
    {
        informed << text;
        if (onMessage)
            onMessage(text);
    }
    void warn(QWidget* /*parent*/, const QString& text) override
    {
        warned << text;
        if (onMessage)
            onMessage(text);
    }
};

// A pair of clocks the test moves by hand.
struct FakeClock {
    puzzle::ClockReading reading{puzzle::SteadyTime{std::chrono::hours(1)},
                                 puzzle::WallTime{std::chrono::hours(24 * 365 * 50)}};

    void advance(std::chrono::milliseconds step)
    {
        reading.steady += step;
        reading.wall += step;
    }
};

// The fakes of one window test, and the services that hand them to a main window.
struct Fakes {
    std::shared_ptr<FakeChooser> chooser = std::make_shared<FakeChooser>();
    std::shared_ptr<FakeMessages> messages = std::make_shared<FakeMessages>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();

    [[nodiscard]] frmmain::Services services(puzzle::RandomEngine::result_type seed) const
    {
        frmmain::Services services;
        services.cdl = chooser;
        services.messages = messages;
        services.clock = [clock = clock] { return clock->reading; };
        services.seed = seed;
        return services;
    }
};

// A picture whose cells of an n x n grid each have their own colour, written as PNG.
inline QString writeTestPicture(const QTemporaryDir& dir, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(
                x, y, QColor::fromHsv((x * 300 / size.width()), 200, 100 + y * 155 / size.height()));
    }
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

} // namespace tilmora::testing
