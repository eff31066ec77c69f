#pragma once

// The wall around the decoder helper: once locked down, the helper can read the picture it was
// handed, use memory, run threads and write to the game, and nothing else.

namespace tilmora {

enum class Lockdown {
    Walled,      // the system call filter is in place
    Unavailable, // the system refused the filter: nothing may be read
};

// Locks the calling process down for good. `socket` is its connection to the game, the one
// descriptor it may receive on and write to (standard error aside: a pipe the game reads). Every image
// reader plugin must be loaded before: opening a file is one of the things it can no longer do.
Lockdown lockDownDecoder(int socket);

} // namespace tilmora
