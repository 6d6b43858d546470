// waveOut under the engine's mixer. The system signals an event whenever a buffer is done; the
// feeder thread then mixes into that buffer, under the lock the engine takes for its changes, and
// queues it again.
#include "audio/winmm/audio_winmm.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <vector>

namespace dral {

struct AudioDevice_WinMM::Output {
    HWAVEOUT handle = nullptr;
    HANDLE done = nullptr;
    std::array<WAVEHDR, BufferCount> headers{};
    std::array<std::vector<int16_t>, BufferCount> buffers;
};

AudioDevice_WinMM::AudioDevice_WinMM() : output(std::make_unique<Output>()) {}

AudioDevice_WinMM::~AudioDevice_WinMM() {
    Close();
}

ResultCode AudioDevice_WinMM::Open(AudioPull newPull) {
    if (output->handle) return Fail;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(AudioChannels);
    format.nSamplesPerSec = AudioRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(AudioChannels * 2);
    format.nAvgBytesPerSec = AudioRate * format.nBlockAlign;
    output->done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!output->done) return Fail;
    if (waveOutOpen(&output->handle, WAVE_MAPPER, &format,
                    reinterpret_cast<DWORD_PTR>(output->done), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        output->handle = nullptr;
        CloseHandle(output->done);
        output->done = nullptr;
        return Fail;
    }
    pull = std::move(newPull);
    stopping = false;
    lost = false;
    for (uint32_t i = 0; i < BufferCount; ++i) {
        output->buffers[i].assign(size_t{BufferFrames} * AudioChannels, 0);
        WAVEHDR& header = output->headers[i];
        header = {};
        header.lpData = reinterpret_cast<LPSTR>(output->buffers[i].data());
        header.dwBufferLength = BufferFrames * AudioChannels * 2;
        waveOutPrepareHeader(output->handle, &header, sizeof header);
        // Marked done, so the feeder fills and queues every buffer at once.
        header.dwFlags |= WHDR_DONE;
    }
    feeder = std::thread(&AudioDevice_WinMM::Feed, this);
    return Ok;
}

void AudioDevice_WinMM::Feed() {
    while (!stopping && !lost) {
        for (uint32_t i = 0; i < BufferCount && !lost; ++i) {
            WAVEHDR& header = output->headers[i];
            if (!(header.dwFlags & WHDR_DONE)) continue;
            {
                std::lock_guard<std::mutex> lock(mutex);
                pull(output->buffers[i].data(), BufferFrames);
            }
            header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            if (waveOutWrite(output->handle, &header, sizeof header) != MMSYSERR_NOERROR)
                lost = true;
        }
        // A bounded wait: a device that stops signalling must not keep Close waiting.
        WaitForSingleObject(output->done, 100);
    }
}

void AudioDevice_WinMM::Close() {
    if (!output->handle) return;
    stopping = true;
    SetEvent(output->done);
    feeder.join();
    waveOutReset(output->handle);
    for (WAVEHDR& header : output->headers)
        waveOutUnprepareHeader(output->handle, &header, sizeof header);
    waveOutClose(output->handle);
    CloseHandle(output->done);
    output->handle = nullptr;
    output->done = nullptr;
    pull = nullptr;
}

} // namespace dral
