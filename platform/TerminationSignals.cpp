#include "platform/TerminationSignals.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr std::initializer_list<int> kSignals = {SIGINT, SIGTERM, SIGHUP};

enum SlotState { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    RemovedOnTermination::Kind kind = RemovedOnTermination::kFile;
    char path[PATH_MAX];
};

// A few outputs pending at once and the working folder.
constexpr int kSlots = 32;
Slot g_slots[kSlots];

pid_t g_mainThread = 0;
int g_pipeWrite = -1;

// Removes the entries of the folder at path, then the folder, with system
// calls only. A file another thread creates in it meanwhile makes the
// folder's removal fail; the folder is then gone through again.
void RemoveFolder(const char* path) {
    alignas(dirent64) static char entries[8192];  // one handler runs at a time
    for (int pass = 0; pass < 16; ++pass) {
        const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return;
        for (ssize_t n; (n = getdents64(fd, entries, sizeof entries)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const dirent64*>(entries + at);
                at += e->d_reclen;
                const char* name = e->d_name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
                if (unlinkat(fd, name, 0) != 0 && errno == EISDIR) unlinkat(fd, name, AT_REMOVEDIR);
            }
        }
        ::close(fd);
        if (rmdir(path) == 0 || errno != ENOTEMPTY) return;
    }
}

void EndProcess(int signal) {
    if (gettid() != g_mainThread) {
        // Taken where the command's outputs are made, so none is made after
        // the removal.
        tgkill(getpid(), g_mainThread, signal);
        return;
    }
    for (RemovedOnTermination::Kind kind : {RemovedOnTermination::kFile, RemovedOnTermination::kFolder}) {
        for (Slot& slot : g_slots) {
            if (slot.state.load(std::memory_order_acquire) != kReady || slot.kind != kind) continue;
            if (kind == RemovedOnTermination::kFile)
                unlink(slot.path);
            else
                RemoveFolder(slot.path);
        }
    }
    _exit(128 + signal);
}

void WriteToPipe(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // A full pipe already holds requests enough.
    (void)!write(g_pipeWrite, &byte, 1);
    errno = saved;
}

// A signal the program was started with ignored stays ignored: a program
// started under nohup goes on when its terminal hangs up, and one started in
// the background of a shell is not ended by the terminal's Ctrl+C.
void Install(void (*handler)(int), std::initializer_list<int> caught) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    // None of them interrupts the handler of another.
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    for (int s : caught) {
        struct sigaction before {};
        if (sigaction(s, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
    }
}

}  // namespace

void EndOnTerminationSignals() {
    g_mainThread = gettid();
    Install(EndProcess, kSignals);
}

int TerminationSignalPipe(std::initializer_list<int> caught) {
    // One pipe for the process, made at the first call.
    static const int readEnd = [] {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
        g_pipeWrite = fds[1];
        return fds[0];
    }();
    if (readEnd >= 0) Install(WriteToPipe, caught);
    return readEnd;
}

RemovedOnTermination::RemovedOnTermination(const std::string& path, Kind kind) {
    if (path.size() >= PATH_MAX) return;
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
        slot.kind = kind;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kReady, std::memory_order_release);
        slot_ = i;
        return;
    }
}

RemovedOnTermination::~RemovedOnTermination() {
    if (slot_ >= 0) g_slots[slot_].state.store(kFree, std::memory_order_release);
}

TerminationSignalsHeld::TerminationSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : kSignals) sigaddset(&held, s);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

TerminationSignalsHeld::~TerminationSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace platform
