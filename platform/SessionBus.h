#pragma once
// The desktop session's message bus. Without one, the D-Bus library "autolaunches" a bus
// for the first program that asks for it (the window toolkit's D-Bus support does, for
// accessibility and the desktop's theme), and that bus goes on running after the program
// has ended. A saver must leave nothing behind, so it never lets a bus be launched.

namespace vec {

// When no session bus address is given, sets one that names no bus ("disabled:"), so that
// no bus is launched; a given address is kept. Call before the toolkit starts.
void DisableSessionBusAutolaunch();

}  // namespace vec
