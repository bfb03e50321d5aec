#pragma once
// A private PulseAudio server for one test: its own runtime folder, a null
// sink at 8000 Hz mono s16le (so what a stream plays at full volume reaches
// the sink's monitor unchanged), kept busy so that streams start at once.
// PULSE_SERVER points every client of the test process, and the programs it
// starts, at it. Stopped by its pid when the object goes.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

class PulseServer {
public:
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // False when no server could be started (pulseaudio missing, say); Why()
    // tells the reason.
    bool Running() const { return server_ > 0; }
    const std::string& Why() const { return why_; }
    // Kills the server now, as a crash would.
    void Kill();

    // Records the sink's monitor until Stop.
    class Recording {
    public:
        explicit Recording(const PulseServer& server);
        ~Recording();
        // Ends the recording and returns the samples recorded.
        std::vector<int16_t> Stop();

    private:
        TempFolder folder_;
        pid_t pid_ = -1;
    };

private:
    TempFolder folder_;
    std::string why_;
    std::optional<ScopedEnvironment> address_;  // PULSE_SERVER, put back after the server goes
    pid_t server_ = -1;
    pid_t busy_ = -1;
};

// The index in recorded at which expected[from..] starts, matched exactly
// over count samples; -1 when it is not there.
long FindSamples(const std::vector<int16_t>& recorded, const std::vector<int16_t>& expected, size_t from,
                 size_t count = 64);

// Empty when recorded holds every sample of expected from sample from on
// (the first 100 ms, which a new stream may lose, by default) exactly, in
// order and up to the last one; otherwise what went wrong: where the first
// difference lies, or how much of the end never arrived.
std::string MissingFromTheEnd(const std::vector<int16_t>& recorded, const std::vector<int16_t>& expected,
                              size_t from = 800);
