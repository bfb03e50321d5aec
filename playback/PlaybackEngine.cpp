#include "playback/PlaybackEngine.h"

#include <algorithm>
#include <cstring>

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "playback/RecordingLoader.h"

namespace {

constexpr size_t kMaxNumberChars = 9;  // the row number's 10-unit buffer
constexpr uint32_t kFrameBytes = 10;
constexpr uint32_t kFrameSamplesBytes = 160;
constexpr uint32_t kFramesPerGroup = 20;

// lParam of WM_OPEN_WAVEOUT: posted by Play, or again once the wait before
// opening has passed.
constexpr intptr_t kOpenRequested = 0;
constexpr intptr_t kOpenNow = 1;

std::u16string Cut(std::u16string text, size_t maxChars) {
    if (text.size() > maxChars) text.resize(maxChars);
    return text;
}

}  // namespace

PlaybackEngine::PlaybackEngine(PlaybackView& view, platform::MessagePoster& poster, platform::WaveOutOpener& opener,
                               G729Decoder& decoder)
    : m_view(view), m_poster(poster), m_opener(opener), m_decoder(decoder) {}

PlaybackEngine::~PlaybackEngine() = default;

bool PlaybackEngine::OnCommand(int id) {
    switch (id) {
    case kIdPlay:
        OnPlay();
        return true;
    case kIdPause:
        OnPauseResume();
        return true;
    case kIdStop:
        OnStop();
        return true;
    case kIdPrevious:
        OnPrevious();
        return true;
    case kIdNext:
        OnNext();
        return true;
    case kIdMute:
        OnMute();
        return true;
    default:
        return false;
    }
}

bool PlaybackEngine::OnPostedMessage(int message, uintptr_t wParam, intptr_t lParam) {
    const bool current = m_hWaveOut && wParam == m_hWaveOut->GetHandle();
    switch (message) {
    case platform::WM_COMMAND:
        return OnCommand(static_cast<int>(wParam));
    case WM_OPEN_WAVEOUT:
        OnOpenWaveOut(wParam, lParam == kOpenNow);
        return true;
    case platform::MM_WOM_OPEN:
        if (current) Prime();
        return true;
    case platform::MM_WOM_DONE:
        if (current) Refill(reinterpret_cast<platform::WaveHeader*>(lParam));
        return true;
    case platform::kWaveOutFailed:
        // The sound went away mid-recording: back to Idle, and say so, as
        // when the device cannot be opened.
        if (current) {
            OnStop();
            platform::ShowMessageBox(kDeviceOpenFailedMessage);
        }
        return true;
    case platform::MM_WOM_CLOSE:
        if (m_closedWaveOut && wParam == m_closedWaveOut->GetHandle()) {
            m_closedWaveOut->Unprepare(m_hdr[0]);
            m_closedWaveOut->Unprepare(m_hdr[1]);
            m_closedWaveOut.reset();
        }
        return true;
    default:
        return false;
    }
}

void PlaybackEngine::OnPlay() {
    if (m_view.SelectedRowCount() == 0) {
        platform::ShowMessageBox(kNoSelectionMessage);
        return;
    }
    if (m_bPlaying && !m_bPaused) {
        m_view.FocusList();
        return;
    }
    if (m_bPlaying && m_bPaused) {
        ResumeAtPosition();
        return;
    }
    const int row = m_view.FirstSelectedRow();
    const std::u16string name = m_view.RowText(row, 1);
    const std::u16string number = Cut(m_view.RowText(row, 0), kMaxNumberChars);
    if (!Load(name)) return;

    m_nNextChunk = 0;
    m_nPlayRow = row;
    m_bPlaying = 1;
    m_view.SetPlayNumber(number);
    m_view.SetNowPlaying(u"正在播放第" + number + u"条语音：" + name);
    m_view.FocusList();
    m_poster.Post(WM_OPEN_WAVEOUT, ++m_nLoadSerial, kOpenRequested);
}

bool PlaybackEngine::Load(std::u16string_view name) {
    m_pRecData.clear();
    m_pRecData.shrink_to_fit();
    m_nRecBytes = 0;
    const RecordingKind kind = RecordingKindOf(name);
    if (kind == RecordingKind::kUnknown) {
        // Nothing can be played from a name the loader has no kind for.
        platform::ShowMessageBox(kOpenFailedMessage);
        return false;
    }
    m_szPlayPath = platform::JoinPath(m_view.RecordingsFolder(), name);
    LoadResult result;
    if (kind == RecordingKind::kLdv) {
        m_pSlot[0] = m_ldvPcm[0];
        m_pSlot[1] = m_ldvPcm[1];
        m_nChunkBytes[0] = m_nChunkBytes[1] = kLdvChunkBytes;
        result = LoadLdvRecording(m_szPlayPath, m_pRecData, m_nRecBytes);
    } else {
        m_pSlot[0] = m_wavPcm[0];
        m_pSlot[1] = m_wavPcm[1];
        m_nChunkBytes[0] = m_nChunkBytes[1] = kPcmChunkBytes;
        result = LoadWavRecording(m_szPlayPath, m_pRecData, m_nRecBytes);
    }
    if (result == LoadResult::kOpenFailed || result == LoadResult::kRefused)
        platform::ShowMessageBox(kOpenFailedMessage);
    if (result != LoadResult::kLoaded) {
        m_pRecData.clear();
        m_nRecBytes = 0;
        return false;
    }
    return true;
}

void PlaybackEngine::OnOpenWaveOut(uintptr_t loadSerial, bool waited) {
    // Stopped, or another recording loaded, since the request: nothing to open.
    if (loadSerial != m_nLoadSerial || !m_bPlaying || m_hWaveOut) return;
    if (!waited) {
        m_wfx = platform::WaveFormat{};
        if (IsLdv()) m_decoder.Init();
        // The window goes on meanwhile; the request is checked again then.
        m_poster.PostAfter(kOpenDelayMs, WM_OPEN_WAVEOUT, loadSerial, kOpenNow);
        return;
    }
    m_hWaveOut = m_opener.Open(m_wfx, m_poster);
    if (!m_hWaveOut) {
        // Nobody would hear the recording: back to Idle, and say so.
        OnStop();
        platform::ShowMessageBox(kDeviceOpenFailedMessage);
        return;
    }
    m_hWaveOut->SetVolume(VolumeValue());
}

uint32_t PlaybackEngine::VolumeValue() const {
    const uint32_t v = static_cast<uint32_t>(m_nVolume) * 65535 / 100;
    return v | (v << 16);
}

void PlaybackEngine::Prime() {
    for (int i = 0; i < 2; ++i) {
        m_hdr[i].lpData = m_pSlot[i];
        m_hWaveOut->Prepare(m_hdr[i]);
    }
    // A recording shorter than two chunks queues what it has: nothing is
    // padded, so nothing but the recording is heard.
    for (int i = 0; i < 2; ++i)
        if (!QueueChunk(i)) break;
    EndIfAllBack();
}

bool PlaybackEngine::QueueChunk(int i) {
    const uint32_t n = FillChunk(m_nNextChunk, m_pSlot[i]);
    if (n == 0) return false;
    ++m_nNextChunk;
    // The last chunk goes at its own length: the device plays it to its
    // last sample and gives it back when that has been heard.
    m_hdr[i].dwBufferLength = n;
    m_bOut[i] = 1;
    m_hWaveOut->Write(m_hdr[i]);
    return true;
}

void PlaybackEngine::EndIfAllBack() {
    if (m_bOut[0] || m_bOut[1]) return;
    // Everything handed over has been heard.
    if (!m_bSeekDrag && m_view.Position() != 100) m_view.SetPosition(100);
    PostCommand(kIdStop);
}

uint32_t PlaybackEngine::FillChunk(uint32_t k, uint8_t* dest) {
    if (IsLdv()) {
        const uint64_t s = uint64_t{k} * kLdvGroupBytes;
        if (s >= m_nRecBytes) return 0;
        const uint32_t frames = std::min<uint64_t>(kFramesPerGroup, (m_nRecBytes - s) / kFrameBytes);
        for (uint32_t j = 0; j < frames; ++j)
            m_decoder.DecodeFrame(m_pRecData.data() + s + kFrameBytes * j,
                                  reinterpret_cast<int16_t*>(dest + kFrameSamplesBytes * j));
        return kFrameSamplesBytes * frames;
    }
    const uint64_t s = uint64_t{k} * kPcmChunkBytes;
    if (s >= m_nRecBytes) return 0;
    const uint32_t n = std::min<uint64_t>(kPcmChunkBytes, m_nRecBytes - s);
    std::memcpy(dest, m_pRecData.data() + s, n);
    return n;
}

int PlaybackEngine::PositionAt(uint32_t next) const {
    const uint64_t scale = IsLdv() ? uint64_t{kLdvGroupBytes} * 100 : uint64_t{kPcmChunkBytes} * 100;
    return static_cast<int>(uint64_t{next} * scale / m_nRecBytes);
}

void PlaybackEngine::Refill(platform::WaveHeader* header) {
    const int i = header == &m_hdr[0] ? 0 : header == &m_hdr[1] ? 1 : -1;
    if (i < 0) return;
    m_bOut[i] = 0;
    if (QueueChunk(i)) {
        // The other buffer may have found the end before a seek back: it
        // plays on too.
        if (!m_bOut[1 - i]) QueueChunk(1 - i);
        if (!m_bSeekDrag) m_view.SetPosition(std::min(100, PositionAt(m_nNextChunk)));
        return;
    }
    // No data is left for this buffer: the recording ends once the other
    // one, which may still be playing the last chunk, is back too.
    EndIfAllBack();
}

void PlaybackEngine::OnStop() {
    m_bPlaying = 0;
    m_bPaused = 0;
    m_bOut[0] = m_bOut[1] = 0;
    if (m_hWaveOut) {
        m_hWaveOut->Reset();
        m_hWaveOut->Close();
        m_closedWaveOut = std::move(m_hWaveOut);
    }
    m_view.SetPosition(0);
    m_view.SetNowPlaying(u"");
    m_view.FocusList();
}

void PlaybackEngine::OnPauseResume() {
    if (m_bPlaying) {
        if (!m_bPaused) {
            m_bPaused = 1;
            if (m_hWaveOut) m_hWaveOut->Pause();
        } else {
            if (m_hWaveOut) m_hWaveOut->Restart();
            m_bPaused = 0;
        }
    }
    m_view.FocusList();
}

void PlaybackEngine::ResumeAtPosition() {
    const uint64_t q = static_cast<uint64_t>(std::clamp(m_view.Position(), 0, 100));
    const uint64_t scale = IsLdv() ? uint64_t{kLdvGroupBytes} * 100 : uint64_t{kPcmChunkBytes} * 100;
    m_nNextChunk = static_cast<uint32_t>(q * m_nRecBytes / scale);
    PostCommand(kIdPause);
}

void PlaybackEngine::OnMute() {
    if (!m_bMuted) {
        m_view.ShowMuted(true);
        m_bMuted = 1;
        if (m_hWaveOut) m_hWaveOut->SetVolume(0);
    } else {
        m_view.ShowMuted(false);
        if (m_hWaveOut) m_hWaveOut->SetVolume(VolumeValue());
        m_bMuted = 0;
    }
}

void PlaybackEngine::OnVolumeTracking(int position) {
    m_nVolume = std::clamp(position, 0, 100);
    if (m_bPlaying && m_hWaveOut) m_hWaveOut->SetVolume(VolumeValue());
}

void PlaybackEngine::Step(int direction) {
    const int selected = m_view.FirstSelectedRow();
    const int c = m_bPlaying ? m_nPlayRow : selected;
    const int target = c + direction;
    if (direction < 0 ? c <= 0 : target >= m_view.RowCount()) {
        m_view.FocusList();
        return;
    }
    m_view.DeselectRow(selected);
    m_view.SelectRow(target);
    if (m_bPlaying || m_bPaused) {
        PostCommand(kIdStop);
        m_poster.PostAfter(kRestartDelayMs, platform::WM_COMMAND, kIdPlay);
        return;
    }
    m_view.FocusList();
}

void PlaybackEngine::OnListDoubleClick() {
    if (m_bPlaying) PostCommand(kIdStop);
    m_poster.PostAfter(kRestartDelayMs, platform::WM_COMMAND, kIdPlay);
}

void PlaybackEngine::OnPositionButtonDown() {
    if (m_bPlaying) m_bSeekDrag = 1;
}

void PlaybackEngine::OnPositionButtonUp() {
    if (m_bPlaying) {
        PostCommand(kIdPause);
        PostCommand(kIdPlay);
    }
    if (m_bSeekDrag) m_bSeekDrag = 0;
}
