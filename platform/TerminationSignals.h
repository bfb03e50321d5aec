#pragma once
// SIGINT, SIGTERM and SIGHUP, the ways a user or a session asks a program to
// end. tolvan-cli ends at once but leaves nothing of its own behind: the
// temporary files of its pending outputs and its private working folder are
// removed, and the exit status is 128 + the signal's number. The window
// instead reads the signals from a pipe in its event loop and closes as its
// close box closes it.
//
// A signal the program was started with ignored (nohup) stays ignored.
//
// What a signal must remove is registered while it exists. Registering takes
// no lock and no memory, so the signal handler can read the table at any
// moment.

#include <signal.h>

#include <initializer_list>
#include <string>

namespace platform {

// tolvan-cli: from now on the three signals remove every registered path
// and end the process with status 128 + the signal's number. The removal
// runs on the main thread (a signal taken by another thread is passed on to
// it), the thread that creates the command's outputs, so none is created
// behind it.
void EndOnTerminationSignals();

// The window: from now on each of the caught signals writes its number as one byte to
// a pipe, whose read end is returned (-1 when no pipe could be made) for the
// event loop to watch. The process has one such pipe; every call returns it.
int TerminationSignalPipe(std::initializer_list<int> caught);

// A path removed when a termination signal ends the process while this
// object lives: a file, or a folder with the files in it. A path that does
// not fit the table is not removed by a signal (it is still removed by its
// owner as usual).
class RemovedOnTermination {
public:
    enum Kind { kFile, kFolder };
    RemovedOnTermination() = default;
    RemovedOnTermination(const std::string& path, Kind kind);
    ~RemovedOnTermination();
    RemovedOnTermination(const RemovedOnTermination&) = delete;
    RemovedOnTermination& operator=(const RemovedOnTermination&) = delete;

private:
    int slot_ = -1;
};

// Holds the termination signals back on this thread while it lives: one
// arriving meanwhile is taken when it ends, so that a path is registered
// before a signal can look for it.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld();
    ~TerminationSignalsHeld();
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

private:
    sigset_t previous_;
};

}  // namespace platform
