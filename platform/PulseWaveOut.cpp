#include "platform/PulseWaveOut.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>

namespace platform {

namespace {

// How often the played position is compared with the queued buffers' ends.
constexpr pa_usec_t kPollUsec = 10 * 1000;
// How long an unanswered connection is waited for.
constexpr pa_usec_t kConnectTimeoutUsec = 3 * 1000 * 1000;

class PulseWaveOut final : public WaveOut {
public:
    PulseWaveOut(const WaveFormat& format, MessagePoster& notices) : format_(format), notices_(notices) {}
    ~PulseWaveOut() override { TearDown(); }

    // Connects and sets up the stream; false on any failure.
    bool Connect();

    bool Write(WaveHeader& header) override;
    void Pause() override { Cork(1); }
    void Restart() override { Cork(0); }
    void Reset() override;
    void Close() override;
    void SetVolume(uint32_t volume) override;

private:
    struct Queued {
        WaveHeader* header;
        uint64_t end;  // stream byte offset just past the header's samples
    };

    class Lock {
    public:
        explicit Lock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
        ~Lock() { pa_threaded_mainloop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

    static void OnContextState(pa_context*, void* self) { Self(self)->OnStateChange(); }
    static void OnStreamState(pa_stream*, void* self) { Self(self)->OnStateChange(); }
    static void OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);
    static void OnPoll(pa_mainloop_api*, pa_time_event* e, const struct timeval*, void* self);
    static void OnTimingUpdate(pa_stream*, int success, void* self);
    static PulseWaveOut* Self(void* p) { return static_cast<PulseWaveOut*>(p); }

    // Wakes Connect; once the device is open, a context or stream that has
    // gone bad (the server died) is reported, once.
    void OnStateChange();
    // Bytes of the stream heard so far; false while the server has not told.
    bool PlayedBytes(uint64_t& bytes) const;
    // Posts the done notice of every queued header whose end has been heard
    // (all of them when everything is true). Called with the loop locked.
    void ReturnPlayed(bool everything);
    void Cork(int cork);
    void TearDown();

    const WaveFormat format_;
    // Playback starts once this much is queued: 0.1 s.
    const uint32_t prebuf_ = format_.nAvgBytesPerSec / 10;
    MessagePoster& notices_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* poll_ = nullptr;
    pa_operation* timingUpdate_ = nullptr;  // the position asked for, while it is on its way
    bool timedOut_ = false;
    std::atomic<bool> closed_{false};
    bool open_ = false;     // connected; set before the first notice is posted
    bool failed_ = false;   // the failure has been reported

    // Guarded by the loop's lock.
    std::deque<Queued> queue_;
    uint64_t written_ = 0;  // stream offset where the next write lands
    bool flushed_ = false;  // a reset moved the write position back to the played one
    uint64_t dryIndex_ = 0;  // the server's read index when the stream was last seen run dry
    pa_usec_t drySince_ = 0;  // when that was first seen
    bool corked_ = false;   // paused by Pause
};

void PulseWaveOut::OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    Self(self)->timedOut_ = true;
    pa_threaded_mainloop_signal(Self(self)->loop_, 0);
}

void PulseWaveOut::OnPoll(pa_mainloop_api*, pa_time_event* e, const struct timeval*, void* self) {
    PulseWaveOut* device = Self(self);
    device->ReturnPlayed(false);
    // While buffers are out, ask for the position at every tick: the
    // automatic updates may lag, and may stop once the stream has drained,
    // which would hold back the last buffer's notice.
    if (!device->queue_.empty() && !device->timingUpdate_)
        device->timingUpdate_ = pa_stream_update_timing_info(device->stream_, &OnTimingUpdate, device);
    pa_context_rttime_restart(device->context_, e, pa_rtclock_now() + kPollUsec);
}

void PulseWaveOut::OnTimingUpdate(pa_stream*, int, void* self) {
    PulseWaveOut* device = Self(self);
    if (device->timingUpdate_) pa_operation_unref(device->timingUpdate_);
    device->timingUpdate_ = nullptr;
    device->ReturnPlayed(false);
}

bool PulseWaveOut::Connect() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return false;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "phone");
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "tolvan");
    context_ = pa_context_new_with_proplist(api, "tolvan", props);
    pa_proplist_free(props);
    if (!context_) return false;
    pa_context_set_state_callback(context_, &OnContextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    if (pa_threaded_mainloop_start(loop_) < 0) return false;

    Lock lock(loop_);
    pa_time_event* timeout = pa_context_rttime_new(context_, pa_rtclock_now() + kConnectTimeoutUsec, &OnTimeout, this);
    bool ready = false;
    for (;;) {
        pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) break;
        if (!PA_CONTEXT_IS_GOOD(state) || timedOut_) break;
        pa_threaded_mainloop_wait(loop_);
    }
    if (pa_context_get_state(context_) == PA_CONTEXT_READY) {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, format_.nSamplesPerSec, static_cast<uint8_t>(format_.nChannels)};
        stream_ = pa_stream_new(context_, "tolvan playback", &spec, nullptr);
        if (stream_) {
            pa_stream_set_state_callback(stream_, &OnStreamState, this);
            // Playback starts as soon as one short buffer is there, and the
            // server keeps the position up to date for the done notices.
            pa_buffer_attr attr;
            std::memset(&attr, 0xFF, sizeof attr);
            attr.tlength = format_.nAvgBytesPerSec / 2;
            attr.prebuf = prebuf_;
            const auto flags =
                static_cast<pa_stream_flags_t>(PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
            if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) == 0) {
                for (;;) {
                    pa_stream_state_t state = pa_stream_get_state(stream_);
                    if (state == PA_STREAM_READY) {
                        ready = true;
                        break;
                    }
                    if (!PA_STREAM_IS_GOOD(state) || timedOut_) break;
                    pa_threaded_mainloop_wait(loop_);
                }
            }
        }
    }
    api->time_free(timeout);
    if (ready) {
        poll_ = pa_context_rttime_new(context_, pa_rtclock_now() + kPollUsec, &OnPoll, this);
        open_ = true;
    }
    return ready;
}

void PulseWaveOut::OnStateChange() {
    pa_threaded_mainloop_signal(loop_, 0);
    if (!open_ || failed_ || closed_) return;
    const bool good = PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) && stream_ &&
                      PA_STREAM_IS_GOOD(pa_stream_get_state(stream_));
    if (good) return;
    failed_ = true;
    notices_.Post(kWaveOutFailed, GetHandle(), 0);
}

bool PulseWaveOut::PlayedBytes(uint64_t& bytes) const {
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (!timing || timing->read_index_corrupt || timing->write_index_corrupt) return false;
    // What the sink has taken less what it still holds, moved on by the time
    // since the server told, while the stream plays. Worked out here from
    // the server's own figures: libpulse's interpolated time runs on while a
    // stream waits to start and then stays ahead of what was played.
    const pa_sample_spec* spec = pa_stream_get_sample_spec(stream_);
    int64_t played = timing->read_index - static_cast<int64_t>(pa_usec_to_bytes(timing->sink_usec, spec));
    if (timing->playing && !corked_)
        played += static_cast<int64_t>(pa_usec_to_bytes(pa_timeval_age(&timing->timestamp), spec));
    played = std::min<int64_t>(played, timing->write_index);
    bytes = played > 0 ? static_cast<uint64_t>(played) : 0;
    return true;
}

void PulseWaveOut::ReturnPlayed(bool everything) {
    uint64_t heard = 0;
    if (!everything) {
        if (!PlayedBytes(heard)) return;
        // A stream that ran dry has handed the sink all it was given. The
        // sink may go on reporting a few ms of latency it never plays out,
        // so the data the server has taken counts as heard once the sink's
        // latency has passed since: a stream closed sooner would have its
        // last samples taken back out of the sink unplayed.
        const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
        if (timing && !timing->playing && !corked_ && !timing->read_index_corrupt && timing->read_index > 0) {
            const auto taken = static_cast<uint64_t>(timing->read_index);
            const pa_usec_t now = pa_rtclock_now();
            if (taken != dryIndex_) {
                dryIndex_ = taken;
                drySince_ = now;
            }
            if (now - drySince_ >= timing->sink_usec) heard = std::max(heard, taken);
        }
    }
    while (!queue_.empty() && (everything || queue_.front().end <= heard)) {
        WaveHeader* header = queue_.front().header;
        queue_.pop_front();
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        notices_.Post(MM_WOM_DONE, GetHandle(), reinterpret_cast<intptr_t>(header));
    }
}

bool PulseWaveOut::Write(WaveHeader& header) {
    if (closed_ || !(header.dwFlags & WHDR_PREPARED)) return false;
    Lock lock(loop_);
    if (flushed_) {
        // After a reset the next samples follow what has been heard.
        uint64_t played = 0;
        if (PlayedBytes(played)) written_ = played;
        flushed_ = false;
    }
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    written_ += header.dwBufferLength;
    queue_.push_back({&header, written_});
    if (header.dwBufferLength > 0)
        pa_stream_write(stream_, header.lpData, header.dwBufferLength, nullptr, 0, PA_SEEK_RELATIVE);
    // A stream waits for prebuf bytes before it starts (again, after running
    // dry). A shorter buffer may be all there is to come, the end of a
    // recording: it starts playing at once.
    if (header.dwBufferLength < prebuf_) {
        if (pa_operation* op = pa_stream_trigger(stream_, nullptr, nullptr)) pa_operation_unref(op);
    }
    return true;
}

void PulseWaveOut::Cork(int cork) {
    if (closed_) return;
    Lock lock(loop_);
    corked_ = cork != 0;
    if (pa_operation* op = pa_stream_cork(stream_, cork, nullptr, nullptr)) pa_operation_unref(op);
}

void PulseWaveOut::Reset() {
    if (closed_) return;
    Lock lock(loop_);
    if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(op);
    flushed_ = true;
    ReturnPlayed(true);
}

void PulseWaveOut::SetVolume(uint32_t volume) {
    if (closed_) return;
    Lock lock(loop_);
    pa_cvolume cv;
    pa_cvolume_set(&cv, format_.nChannels, pa_sw_volume_from_linear((volume & 0xFFFF) / 65535.0));
    if (pa_operation* op = pa_context_set_sink_input_volume(context_, pa_stream_get_index(stream_), &cv, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseWaveOut::Close() {
    if (closed_) return;
    {
        Lock lock(loop_);
        ReturnPlayed(true);
    }
    TearDown();
    notices_.Post(MM_WOM_CLOSE, GetHandle(), 0);
}

void PulseWaveOut::TearDown() {
    if (closed_) return;
    closed_ = true;
    if (!loop_) return;
    pa_threaded_mainloop_stop(loop_);
    // The loop's thread has ended: nothing below races with it.
    if (poll_) pa_threaded_mainloop_get_api(loop_)->time_free(poll_);
    if (timingUpdate_) {
        pa_operation_cancel(timingUpdate_);
        pa_operation_unref(timingUpdate_);
    }
    if (stream_) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

}  // namespace

std::unique_ptr<WaveOut> PulseWaveOutOpener::Open(const WaveFormat& format, MessagePoster& notices) {
    auto device = std::make_unique<PulseWaveOut>(format, notices);
    if (!device->Connect()) return nullptr;
    notices.Post(MM_WOM_OPEN, device->GetHandle(), 0);
    return device;
}

}  // namespace platform
