#pragma once

// What the player is told when a picture file is refused: one sentence a reason, naming the file,
// in the player's language. Refusals arrive as values, from opening the file or from the decoder
// helper; this is the only place that words them.

#include "loadresult.h"

#include <QString>

namespace tilmora {

// The sentence for `refusal` of the file the player knows as `name`.
[[nodiscard]] QString refusalMessage(const Refusal& refusal, const QString& name);

} // namespace tilmora
