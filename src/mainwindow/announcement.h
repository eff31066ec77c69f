#pragma once

// A few words for a screen reader to say at once, of something that changed where the player's
// focus already is (a piece moved or refused): a screen reader reads the focus moving, not the
// focused object changing, and Qt 6.4 hands it no text with a change. Nothing is shown on screen.

class QString;
class QWidget;

namespace tilmora {

// Says `text`, told as a notification of `parent`'s window; each text replaces the one before.
void announce(QWidget* parent, const QString& text);

} // namespace tilmora
