#pragma once

// What the player is told when a picture file is refused, one sentence a reason, each naming the
// file. The loader words its refusals here, and the game words the decoder helper's answers here
// too (the helper sends only the parts: nothing it says is shown as it says it).

#include "pictureloader.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace tilmora::refusal {

[[nodiscard]] LoadFailure notAFile(const QString& name);
[[nodiscard]] LoadFailure missing(const QString& name);
[[nodiscard]] LoadFailure noPermission(const QString& name);
[[nodiscard]] LoadFailure empty(const QString& name);
[[nodiscard]] LoadFailure notAPicture(const QString& name);
// A kind of picture the game does not open, named as the player knows it ("JPEG XL").
[[nodiscard]] LoadFailure kindNotOpened(const QString& name, const QByteArray& kind);
[[nodiscard]] LoadFailure damaged(const QString& name);
// More pixels than `limit` allows.
[[nodiscard]] LoadFailure tooManyPixels(const QString& name, QSize size, qint64 limit);
// More memory than the game lets one picture take (kAllocationLimitMiB).
[[nodiscard]] LoadFailure tooMuchMemory(const QString& name, QSize size);

} // namespace tilmora::refusal
