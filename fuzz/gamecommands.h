#pragma once

// Plays arbitrary bytes as a sequence of player commands on a PuzzleGame and checks, after every
// command, that the board still makes sense. The fuzzer calls it with whatever libFuzzer makes up;
// the window tests replay the saved inputs through it with the ordinary compiler.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tilmora::fuzzing {

// The first broken rule, described for a person, or nothing when every check held.
[[nodiscard]] std::optional<std::string> playGameCommands(std::span<const std::uint8_t> bytes);

} // namespace tilmora::fuzzing
