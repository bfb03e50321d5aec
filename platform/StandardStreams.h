#pragma once
// Descriptors 0, 1 and 2 closed when the program starts would be taken by
// the first files it opens: a converted recording would receive the
// progress text meant for stderr. Each closed one is therefore filled with
// /dev/null before anything else is opened. Standard output and error are
// opened for reading only, so a write to them still fails as it did on the
// closed descriptor: a command whose data stdout did not take says so in
// its exit status.

namespace platform {

// Call first thing in main. False when /dev/null cannot be opened; the
// program should then end at once (exit status 1) without opening anything.
bool FillClosedStandardStreams();

}  // namespace platform
