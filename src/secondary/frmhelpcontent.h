#pragma once

#include <QWidget>

namespace tilmora {

// The "Help" window: the instructions, with the menu names in bold.
class frmhelpcontent final : public QWidget
{
    Q_OBJECT
public:
    explicit frmhelpcontent(QWidget* parent = nullptr);
};

} // namespace tilmora
