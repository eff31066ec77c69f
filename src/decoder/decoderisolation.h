#pragma once

// The decoder helper's outer layers, put up before its system call filter (decoderlockdown.h):
// limits on what it may take of the machine, and the file system and the network taken away, so
// that no path resolves to anything of the player's whatever call asks. Each goes up as far as the
// system lets it; the filter, which must go up, stands on its own where none of them does.

namespace tilmora {

// Which of the outer layers are up.
struct Isolation {
    bool namespaces = false; // a user, mount and network namespace of its own, with an empty root
    int landlock = 0;        // the version of Landlock denying every file access; 0: not up
};

// No core dumps, no files written, an address space of a bounded size (not in the sanitizer
// builds, whose shadow memory is terabytes of it), and the helper first in line when the system
// runs out of memory, before the game. Opens a file in /proc: before the file system goes.
void limitDecoder();

// Sets no-new-privileges, then takes the file system and the network away. Must be called while
// the helper has one thread (a thread cannot enter a namespace of its own, and Landlock walls the
// calling thread and those it starts later), after everything that opens files.
Isolation isolateDecoder();

} // namespace tilmora
