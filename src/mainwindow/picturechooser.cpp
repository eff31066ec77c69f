#include "picturechooser.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace tilmora {

QStringList FileDialogChooser::nameFilters()
{
    return {QCoreApplication::translate("tilmora::FileDialogChooser", "ICO files (*.ICO)"),
            QCoreApplication::translate("tilmora::FileDialogChooser", "All files (*.*)")};
}

void FileDialogChooser::configureDialog(QFileDialog& dialog)
{
    dialog.setObjectName(QStringLiteral("cdl"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog matches the filter patterns without regard to case, so "*.ICO" also lists
    // icon.ico on a case-sensitive file system; desktop dialogs differ on that.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(nameFilters());
    dialog.selectNameFilter(nameFilters().constFirst());
}

std::optional<QString> FileDialogChooser::choosePicture(QWidget* parent)
{
    QFileDialog cdl(parent);
    configureDialog(cdl);
    if (!lastChosen_.isEmpty())
        cdl.selectFile(lastChosen_);
    if (cdl.exec() != QDialog::Accepted || cdl.selectedFiles().isEmpty())
        return std::nullopt;
    lastChosen_ = cdl.selectedFiles().constFirst();
    return lastChosen_;
}

} // namespace tilmora
