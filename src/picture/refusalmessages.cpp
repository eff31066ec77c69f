#include "refusalmessages.h"

#include <QCoreApplication>

namespace tilmora {

namespace {

// The player-visible texts, under one translation context.
class Text
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::RefusalMessages)
};

QString tooLarge(const QString& name, const Refusal& refusal)
{
    if (refusal.reason == Refusal::Reason::TooManyPixels)
        return Text::tr("“%1” is too large: %2 x %3 pixels, more than %4 megapixels.")
            .arg(name)
            .arg(refusal.size.width())
            .arg(refusal.size.height())
            .arg(refusal.limit / 1'000'000);
    return Text::tr("“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.")
        .arg(name)
        .arg(refusal.size.width())
        .arg(refusal.size.height())
        .arg(kAllocationLimitMiB);
}

} // namespace

QString refusalMessage(const Refusal& refusal, const QString& name)
{
    using enum Refusal::Reason;
    switch (refusal.reason) {
    case NotAFile:
        return Text::tr("“%1” is not a file.").arg(name);
    case Missing:
        return Text::tr("“%1” does not exist.").arg(name);
    case NoPermission:
        return Text::tr("You do not have permission to read “%1”.").arg(name);
    case Empty:
        return Text::tr("“%1” is empty, not a picture.").arg(name);
    case NotAPicture:
        return Text::tr("“%1” is not a picture.").arg(name);
    case KindNotOpened:
        return Text::tr("“%1” is a kind of picture this game does not open (%2).")
            .arg(name, QString::fromLatin1(refusal.kind));
    case TooManyPixels:
    case TooMuchMemory:
        return tooLarge(name, refusal);
    case Unwalled:
        return Text::tr("“%1” was not opened: pictures cannot be read safely on this system.").arg(name);
    case Damaged:
        break;
    }
    return Text::tr("“%1” is damaged and cannot be shown.").arg(name);
}

} // namespace tilmora
