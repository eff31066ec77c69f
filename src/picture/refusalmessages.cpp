#include "refusalmessages.h"

#include <QCoreApplication>

namespace tilmora::refusal {

namespace {

// The player-visible texts, under one translation context.
class Text
{
    Q_DECLARE_TR_FUNCTIONS(PictureLoader)
};

} // namespace

LoadFailure notAFile(const QString& name)
{
    return {LoadError::NotRegularFile, Text::tr("“%1” is not a file.").arg(name)};
}

LoadFailure missing(const QString& name)
{
    return {LoadError::NotFound, Text::tr("“%1” does not exist.").arg(name)};
}

LoadFailure noPermission(const QString& name)
{
    return {LoadError::NoPermission, Text::tr("You do not have permission to read “%1”.").arg(name)};
}

LoadFailure empty(const QString& name)
{
    return {LoadError::NotAPicture, Text::tr("“%1” is empty, not a picture.").arg(name)};
}

LoadFailure notAPicture(const QString& name)
{
    return {LoadError::NotAPicture, Text::tr("“%1” is not a picture.").arg(name)};
}

LoadFailure kindNotOpened(const QString& name, const QByteArray& kind)
{
    return {LoadError::FormatNotAllowed, Text::tr("“%1” is a kind of picture this game does not open (%2).")
                                             .arg(name, QString::fromLatin1(kind))};
}

LoadFailure damaged(const QString& name)
{
    return {LoadError::Damaged, Text::tr("“%1” is damaged and cannot be shown.").arg(name)};
}

LoadFailure tooManyPixels(const QString& name, QSize size, qint64 limit)
{
    return {LoadError::TooLarge, Text::tr("“%1” is too large: %2 x %3 pixels, more than %4 megapixels.")
                                     .arg(name)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(limit / 1'000'000)};
}

LoadFailure tooMuchMemory(const QString& name, QSize size)
{
    return {LoadError::TooLarge,
            Text::tr("“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.")
                .arg(name)
                .arg(size.width())
                .arg(size.height())
                .arg(kAllocationLimitMiB)};
}

} // namespace tilmora::refusal
