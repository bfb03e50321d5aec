#include "platform/WaveOut.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<WaveOut::Handle> g_lastHandle{0};
}

WaveOut::WaveOut() : handle_(++g_lastHandle) {}

void WaveOut::Prepare(WaveHeader& header) { header.dwFlags = (header.dwFlags | WHDR_PREPARED) & ~WHDR_DONE; }

void WaveOut::Unprepare(WaveHeader& header) { header.dwFlags &= ~WHDR_PREPARED; }

}  // namespace platform
