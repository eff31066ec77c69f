#pragma once

// A picture dragged onto the main window: one local file, taken as a copy.

#include <QString>

#include <optional>

class QDropEvent;
class QMimeData;

namespace tilmora {

// The file a drag carries, when it carries exactly one local file.
[[nodiscard]] std::optional<QString> draggedFile(const QMimeData* data);

// Takes a drag of one local file as a copy (the game only reads the file, so the file manager
// never takes it away) and refuses any other, so the pointer says it cannot be dropped.
bool takeDrag(QDropEvent* event);

} // namespace tilmora
