#pragma once

class QWidget;

namespace tilmora {

// Builds the quick-help panel of the play area (the instructions with the menu names in bold),
// placed at its position in `parent`, and returns it.
QWidget* createQuickHelpPanel(QWidget* parent);

} // namespace tilmora
