#pragma once

// The status row under the board: the attempts and the seconds of the game, white on black.
// Hidden until the first Start; the results keep their last values until told otherwise. A screen
// reader finds it as the window's status bar, read as "Attempts: 12, Time: 125 Seconds".

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

class QLabel;
class QWidget;

namespace tilmora {

class StatusRow
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::StatusRow)
public:
    // The four labels (lblscore, lblscoreresult, lbltime, lbltimeresult) go into a row of their
    // own (statusbar) in `playArea`.
    explicit StatusRow(QWidget* playArea);

    void setVisible(bool visible);
    void showAttempts(std::int64_t attempts);
    void showSeconds(std::int64_t seconds);

private:
    void fitCaptions();
    void showTexts();

    QLabel* lblscore_;
    QLabel* lblscoreresult_;
    QLabel* lbltime_;
    QLabel* lbltimeresult_;
    bool captionsFitted_ = false;
    bool visible_ = false;
    QString attempts_;
    QString seconds_;
    std::optional<std::int64_t> shownSeconds_; // what the time caption says, once it says anything
};

} // namespace tilmora
