#include "picturechooser.h"

#include <QFileDialog>

namespace tilmora {

QStringList FileDialogChooser::nameFilters()
{
    return {QStringLiteral("ICO files (*.ICO)"), QStringLiteral("All files (*.*)")};
}

std::optional<QString> FileDialogChooser::choosePicture(QWidget* parent)
{
    QFileDialog cdl(parent);
    cdl.setObjectName(QStringLiteral("cdl"));
    cdl.setFileMode(QFileDialog::ExistingFile);
    cdl.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog matches the filter patterns without regard to case, so "*.ICO" also lists
    // icon.ico on a case-sensitive file system; desktop dialogs differ on that.
    cdl.setOption(QFileDialog::DontUseNativeDialog);
    cdl.setNameFilters(nameFilters());
    cdl.selectNameFilter(nameFilters().constFirst());
    if (!lastChosen_.isEmpty())
        cdl.selectFile(lastChosen_);
    if (cdl.exec() != QDialog::Accepted || cdl.selectedFiles().isEmpty())
        return std::nullopt;
    lastChosen_ = cdl.selectedFiles().constFirst();
    return lastChosen_;
}

} // namespace tilmora
