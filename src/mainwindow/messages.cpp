#include "messages.h"

#include "identity/identity.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>

#include <string_view>

namespace tilmora {

namespace {

constexpr const char* kGameName = QT_TRANSLATE_NOOP("tilmora::MessageBoxes", "Tilmora Picture Puzzle Game");
// The English name is the one the build gives the program.
static_assert(std::string_view(kGameName) == identity::kName);

void showModal(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, gameName(), text, QMessageBox::Ok, parent);
    // Texts may carry a file name the player chose; it is shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    // The box shows its text as written; a screen reader reads it, and a braille display shows it,
    // without the spaces that push it across the box.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setAccessibleName(text.trimmed());
    box.exec();
}

} // namespace

QString gameName()
{
    return QCoreApplication::translate("tilmora::MessageBoxes", kGameName);
}

void ModalMessageBoxes::inform(QWidget* parent, const QString& text)
{
    showModal(parent, QMessageBox::NoIcon, text);
}

void ModalMessageBoxes::warn(QWidget* parent, const QString& text)
{
    showModal(parent, QMessageBox::Warning, text);
}

} // namespace tilmora
