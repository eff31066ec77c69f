#pragma once

// The mark on the piece a hint names: a ring in its middle, white within black, that shows on any
// picture and is told apart from the keyboard's frame round the edge. It takes no clicks or keys
// and is gone with the next move.

#include <QWidget>

namespace tilmora {

class HintMark final : public QWidget
{
public:
    // Laid over `piece`, whose child it is, so it goes with it.
    explicit HintMark(QWidget* piece);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tilmora
