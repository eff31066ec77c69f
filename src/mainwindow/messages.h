#pragma once

// The message boxes the game shows, behind a small interface so tests can answer them.

#include <QString>

class QWidget;

namespace tilmora {

// The game's name in the player's language: the title of the main window and of every box.
[[nodiscard]] QString gameName();

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A modal box with the text, the game's title, one OK button and no icon.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // The same with a warning icon: a picture that could not be used.
    virtual void warn(QWidget* parent, const QString& text) = 0;
};

// The real boxes, shown with QMessageBox and waited for.
class ModalMessageBoxes final : public MessageBoxes
{
public:
    void inform(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
};

} // namespace tilmora
