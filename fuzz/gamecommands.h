#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tilmora::fuzzing {

// Plays bytes as player commands on a PuzzleGame: the first rule broken, described, or nothing.
[[nodiscard]] std::optional<std::string> playGameCommands(std::span<const std::uint8_t> bytes);

} // namespace tilmora::fuzzing
