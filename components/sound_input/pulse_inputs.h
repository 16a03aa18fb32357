#pragma once
// The system's sound inputs through PulseAudio's client library (which
// PipeWire serves too). Qt Multimedia 6.4 leaves the monitors of outputs out
// of QMediaDevices::audioInputs(), and a QAudioDevice cannot be made for one,
// so the inputs are listed and read here instead.
//
// Everything runs on the library's own thread: the list of inputs is kept up
// to date from the server's events, the chosen input is read in pieces of
// 10 ms, and a server that goes away is looked for again every second.

#include "components/sound_input/sound_inputs.h"

#include <condition_variable>
#include <memory>
#include <mutex>

struct pa_context;
struct pa_source_info;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

namespace vizmo::sound_input {

class PulseInputs final : public SoundInputs {
public:
    // `server`: an address as PULSE_SERVER takes it, or empty for the
    // session's own server.
    explicit PulseInputs(QByteArray server = {});
    ~PulseInputs() override;
    PulseInputs(const PulseInputs&) = delete;
    PulseInputs& operator=(const PulseInputs&) = delete;

    // The first call waits a moment for the server's first list.
    std::vector<InputDevice> devices() const override;
    void listen(const QByteArray& id, PieceSink sink) override;
    bool reading() const override;

private:
    struct Source {
        InputDevice device;
        int rate = 0;
        int channels = 0;
    };

    // On the library's thread.
    void connect();
    void contextChanged();
    void listSources();
    void sourceListed(const pa_source_info* info, bool last);
    void openStream();
    void closeStream();
    void streamChanged();
    void readStream();
    void retryLater(int ms);
    void retry();

    // The library's callbacks, each calling one of the above.
    struct Callbacks;
    friend struct Callbacks;

    QByteArray server_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* retry_ = nullptr;
    bool stopping_ = false;
    bool listing_ = false, listAgain_ = false;
    std::vector<Source> listed_;   // the list being received
    QByteArray wanted_;
    PieceSink sink_;

    // What other threads read.
    mutable std::mutex mutex_;
    mutable std::condition_variable firstList_;
    std::vector<Source> sources_;
    bool everListed_ = false;
    mutable bool waited_ = false;
    bool reading_ = false;
};

}  // namespace vizmo::sound_input
