#include "tests/support/PulseServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

// Starts program with args, its output to logPath (or /dev/null), stdin
// from inPath.
pid_t Spawn(const std::vector<std::string>& args, const std::string& inPath, const std::string& outPath,
            const std::vector<std::string>& env = {}) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void Stop(pid_t& pid, int sig) {
    if (pid <= 0) return;
    kill(pid, sig);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool ProgramExists(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (access((dirs.substr(start, end - start) + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

const char* const kSampleFormat[] = {"--raw", "--latency-msec=20", "--format=s16le", "--rate=8000", "--channels=1"};

}  // namespace

PulseServer::PulseServer() {
    for (const char* program : {"pulseaudio", "pacat", "parec", "pactl"}) {
        if (!ProgramExists(program)) {
            why_ = std::string(program) + " is not installed (tools/install-deps.sh installs it)";
            return;
        }
    }
    const std::string dir = folder_.Str();
    const std::string runtime = dir + "/run";
    mkdir(runtime.c_str(), 0700);
    const std::string config = dir + "/server.pa";
    // The socket comes last, so that a client's first answer means the sink
    // is there too.
    std::ofstream(config) << "load-module module-null-sink sink_name=test_null format=s16le rate=8000 channels=1\n"
                             "set-default-sink test_null\n"
                             "load-module module-native-protocol-unix auth-anonymous=1\n";
    const std::string address = "unix:" + runtime + "/pulse/native";
    server_ = Spawn({"pulseaudio", "-n", "-F", config, "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                     "--use-pid-file=no", "--system=false"},
                    "/dev/null", dir + "/server.log", {"XDG_RUNTIME_DIR=" + runtime, "HOME=" + dir});

    address_.emplace("PULSE_SERVER", address);
    // Ready once a client gets an answer.
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pid_t probe = Spawn({"pactl", "info"}, "/dev/null", "/dev/null");
        int status = 0;
        waitpid(probe, &status, 0);
        ready = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!ready) {
        why_ = "the PulseAudio server did not start (see " + dir + "/server.log)";
        Stop(server_, SIGKILL);
        return;
    }
    // An idle null sink holds a new stream back for up to 1.5 s.
    std::vector<std::string> busy{"pacat"};
    busy.insert(busy.end(), std::begin(kSampleFormat), std::end(kSampleFormat));
    busy.push_back("/dev/zero");
    busy_ = Spawn(busy, "/dev/null", "/dev/null");
    // A new sink's monitor delivers its first samples only after a second
    // or two: wait for them once here, so that every recording of the test
    // starts at once.
    std::vector<std::string> probe{"parec"};
    probe.insert(probe.end(), std::begin(kSampleFormat), std::end(kSampleFormat));
    probe.push_back("--device=test_null.monitor");
    const std::string probed = dir + "/probe.raw";
    pid_t prober = Spawn(probe, "/dev/null", probed);
    struct stat st {};
    for (int i = 0; i < 250 && (stat(probed.c_str(), &st) != 0 || st.st_size == 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Stop(prober, SIGTERM);
}

PulseServer::~PulseServer() { Kill(); }

void PulseServer::Kill() {
    Stop(busy_, SIGTERM);
    Stop(server_, SIGKILL);
}

PulseServer::Recording::Recording(const PulseServer&) {
    std::vector<std::string> args{"parec"};
    args.insert(args.end(), std::begin(kSampleFormat), std::end(kSampleFormat));
    args.push_back("--device=test_null.monitor");
    pid_ = Spawn(args, "/dev/null", folder_.File("monitor.raw"));
}

PulseServer::Recording::~Recording() { ::Stop(pid_, SIGTERM); }

std::vector<int16_t> PulseServer::Recording::Stop() {
    ::Stop(pid_, SIGTERM);
    std::ifstream in(folder_.File("monitor.raw"), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
}

long FindSamples(const std::vector<int16_t>& recorded, const std::vector<int16_t>& expected, size_t from, size_t count) {
    if (from + count > expected.size()) return -1;
    auto it = std::search(recorded.begin(), recorded.end(), expected.begin() + static_cast<long>(from),
                          expected.begin() + static_cast<long>(from + count));
    return it == recorded.end() ? -1 : static_cast<long>(it - recorded.begin());
}

std::string MissingFromTheEnd(const std::vector<int16_t>& recorded, const std::vector<int16_t>& expected,
                              size_t from) {
    // The match starts at the first stretch from there on that is not mostly
    // silence, so that it can be found in one place only.
    constexpr size_t kWindow = 64;
    auto sounding = [&](size_t i) {
        const auto window = expected.begin() + static_cast<long>(i);
        return std::count(window, window + static_cast<long>(kWindow), 0) < static_cast<long>(kWindow / 4);
    };
    while (from + kWindow < expected.size() && !sounding(from)) ++from;
    if (from + kWindow >= expected.size()) return "the recording has no sounding stretch to match";
    const long at = FindSamples(recorded, expected, from, kWindow);
    if (at < 0) return "the samples from " + std::to_string(from) + " on never reached the sink";
    const size_t start = static_cast<size_t>(at);
    for (size_t i = from; i < expected.size(); ++i) {
        const size_t r = start + (i - from);
        if (r >= recorded.size())
            return "the last " + std::to_string(expected.size() - i) + " of " + std::to_string(expected.size()) +
                   " samples never reached the sink";
        if (recorded[r] != expected[i])
            return "sample " + std::to_string(i) + " of " + std::to_string(expected.size()) + " differs: " +
                   std::to_string(recorded[r]) + " heard, " + std::to_string(expected[i]) + " played";
    }
    return "";
}
