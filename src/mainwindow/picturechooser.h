#pragma once

// The open-file dialog `cdl` behind a small interface, so tests choose files without a person.

#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

namespace tilmora {

class PictureChooser
{
public:
    virtual ~PictureChooser() = default;
    // The path the player chose, or nothing when they cancelled.
    virtual std::optional<QString> choosePicture(QWidget* parent) = 0;
};

// The real dialog: Qt's own file dialog (the same on every desktop) with the game's two filters,
// the icon filter selected. It remembers the last file chosen between uses.
class FileDialogChooser final : public PictureChooser
{
public:
    std::optional<QString> choosePicture(QWidget* parent) override;

    // The filter entries, in the order the dialog lists them.
    [[nodiscard]] static QStringList nameFilters();
    // Sets up a dialog as choosePicture shows it (mode, filters, Qt's own dialog), so tests can
    // look at the same dialog without running it.
    static void configureDialog(QFileDialog& dialog);

private:
    QString lastChosen_;
};

} // namespace tilmora
