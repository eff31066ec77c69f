#include "messages.h"

#include "identity/identity.h"

#include <QMessageBox>

namespace tilmora {

namespace {

void showModal(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QString::fromUtf8(identity::kName), text, QMessageBox::Ok, parent);
    // Texts may carry a file name the player chose; it is shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ModalMessageBoxes::inform(QWidget* parent, const QString& text)
{
    showModal(parent, QMessageBox::NoIcon, text);
}

void ModalMessageBoxes::warn(QWidget* parent, const QString& text)
{
    showModal(parent, QMessageBox::Warning, text);
}

} // namespace tilmora
