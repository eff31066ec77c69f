#pragma once

#include <cstdint>
#include <span>

namespace tilmora::fuzzing {

// Plays bytes as player commands on a PuzzleGame.
void playGameCommands(std::span<const std::uint8_t> bytes);

} // namespace tilmora::fuzzing
