#include "components/sound_input/pulse_inputs.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace vizmo::sound_input {

namespace {

constexpr int kPieceMs = 10;             // the pieces the input is read in
constexpr int kReconnectMs = 1000;       // a server that went away is looked for again
constexpr int kReopenMs = 300;           // an input whose reading failed is tried again
constexpr int kFirstListWaitMs = 1000;   // the longest devices() waits, once

// Holds the library's lock while it lives: the other threads' way in.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

}  // namespace

struct PulseInputs::Callbacks {
    static void contextState(pa_context*, void* self) { static_cast<PulseInputs*>(self)->contextChanged(); }
    static void subscription(pa_context*, pa_subscription_event_type_t event, uint32_t, void* self)
    {
        if ((event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SOURCE)
            static_cast<PulseInputs*>(self)->listSources();
    }
    static void source(pa_context*, const pa_source_info* info, int last, void* self)
    {
        static_cast<PulseInputs*>(self)->sourceListed(info, last != 0);
    }
    static void streamState(pa_stream*, void* self) { static_cast<PulseInputs*>(self)->streamChanged(); }
    static void streamRead(pa_stream*, std::size_t, void* self) { static_cast<PulseInputs*>(self)->readStream(); }
    static void retry(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self)
    {
        auto* inputs = static_cast<PulseInputs*>(self);
        api->time_free(event);
        inputs->retry_ = nullptr;
        inputs->retry();
    }
};

PulseInputs::PulseInputs(QByteArray server) : server_(std::move(server))
{
    loop_ = pa_threaded_mainloop_new();
    if (!loop_)
        return;
    pa_threaded_mainloop_set_name(loop_, "sound inputs");
    pa_threaded_mainloop_start(loop_);
    const LoopLock lock(loop_);
    connect();
}

PulseInputs::~PulseInputs()
{
    if (!loop_)
        return;
    {
        const LoopLock lock(loop_);
        stopping_ = true;
        closeStream();
        if (retry_)
            pa_threaded_mainloop_get_api(loop_)->time_free(retry_);
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_set_subscribe_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

std::vector<InputDevice> PulseInputs::devices() const
{
    std::unique_lock lock(mutex_);
    if (!waited_) {
        waited_ = true;
        firstList_.wait_for(lock, std::chrono::milliseconds(kFirstListWaitMs), [this] { return everListed_; });
    }
    std::vector<InputDevice> out;
    for (const Source& s : sources_)
        out.push_back(s.device);
    return out;
}

bool PulseInputs::reading() const
{
    const std::lock_guard lock(mutex_);
    return reading_;
}

void PulseInputs::listen(const QByteArray& id, PieceSink sink)
{
    if (!loop_)
        return;
    const LoopLock lock(loop_);
    closeStream();
    wanted_ = id;
    sink_ = id.isEmpty() ? PieceSink() : std::move(sink);
    openStream();
}

// ---- on the library's thread ------------------------------------------------------

void PulseInputs::connect()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Vizmo4");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Vizmo4", properties);
    pa_proplist_free(properties);
    if (!context_) {
        retryLater(kReconnectMs);
        return;
    }
    pa_context_set_state_callback(context_, &Callbacks::contextState, this);
    // A refused connection may have reported its failure already.
    if (pa_context_connect(context_, server_.isEmpty() ? nullptr : server_.constData(), PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0 &&
        context_)
        contextChanged();
}

void PulseInputs::contextChanged()
{
    if (!context_)
        return;
    switch (pa_context_get_state(context_)) {
    case PA_CONTEXT_READY:
        pa_context_set_subscribe_callback(context_, &Callbacks::subscription, this);
        pa_operation_unref(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SOURCE, nullptr, nullptr));
        listSources();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: {
        // The server went away, or was never there: no inputs until it is back.
        closeStream();
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_unref(context_);
        context_ = nullptr;
        listing_ = listAgain_ = false;
        {
            const std::lock_guard lock(mutex_);
            sources_.clear();
            everListed_ = true;  // the answer is: none, for now
        }
        firstList_.notify_all();
        if (!stopping_)
            retryLater(kReconnectMs);
        break;
    }
    default: break;
    }
}

void PulseInputs::listSources()
{
    if (listing_) {
        listAgain_ = true;
        return;
    }
    listing_ = true;
    listed_.clear();
    pa_operation* op = pa_context_get_source_info_list(context_, &Callbacks::source, this);
    if (op)
        pa_operation_unref(op);
    else
        listing_ = false;
}

void PulseInputs::sourceListed(const pa_source_info* info, bool last)
{
    if (info && !last) {
        const bool monitor = info->monitor_of_sink != PA_INVALID_INDEX;
        listed_.push_back({{QByteArray(info->name), QString::fromUtf8(info->description ? info->description : info->name),
                            monitor},
                           int(info->sample_spec.rate),
                           int(info->sample_spec.channels)});
        return;
    }
    listing_ = false;
    // Microphones first, then what the outputs play.
    std::stable_partition(listed_.begin(), listed_.end(), [](const Source& s) { return !s.device.monitor; });
    {
        const std::lock_guard lock(mutex_);
        sources_ = listed_;
        everListed_ = true;
    }
    firstList_.notify_all();
    if (std::exchange(listAgain_, false))
        listSources();
    else
        openStream();  // the chosen input may have come back
}

void PulseInputs::openStream()
{
    if (stream_ || wanted_.isEmpty() || !context_ || pa_context_get_state(context_) != PA_CONTEXT_READY)
        return;
    Source source;
    {
        const std::lock_guard lock(mutex_);
        const auto it = std::find_if(sources_.begin(), sources_.end(), [&](const Source& s) { return s.device.id == wanted_; });
        if (it == sources_.end())
            return;  // not there now: it is opened when it comes back
        source = *it;
    }
    pa_sample_spec format{PA_SAMPLE_FLOAT32NE, std::uint32_t(source.rate), std::uint8_t(source.channels)};
    if (!pa_sample_spec_valid(&format))
        return;
    stream_ = pa_stream_new(context_, "listening", &format, nullptr);
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, &Callbacks::streamState, this);
    pa_stream_set_read_callback(stream_, &Callbacks::streamRead, this);
    pa_buffer_attr buffer{};
    buffer.maxlength = std::uint32_t(-1);
    buffer.tlength = buffer.prebuf = buffer.minreq = std::uint32_t(-1);
    buffer.fragsize = std::uint32_t(pa_usec_to_bytes(kPieceMs * 1000, &format));
    // Never moved to another input when this one goes: it is read again when it comes back.
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE | PA_STREAM_INTERPOLATE_TIMING |
                                         PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_record(stream_, wanted_.constData(), &buffer, flags) < 0)
        closeStream();
}

void PulseInputs::closeStream()
{
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    const std::lock_guard lock(mutex_);
    reading_ = false;
}

void PulseInputs::streamChanged()
{
    switch (pa_stream_get_state(stream_)) {
    case PA_STREAM_READY: {
        const std::lock_guard lock(mutex_);
        reading_ = true;
        break;
    }
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The input went away (or the server is going): read it again when it is back.
        closeStream();
        if (!stopping_)
            retryLater(kReopenMs);
        break;
    default: break;
    }
}

void PulseInputs::readStream()
{
    const pa_sample_spec* format = pa_stream_get_sample_spec(stream_);
    while (stream_ && pa_stream_readable_size(stream_) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream_, &data, &bytes) < 0 || bytes == 0)
            break;
        if (data && sink_) {
            // The last sample was heard this long ago.
            pa_usec_t latency = 0;
            int negative = 0;
            auto heardAt = std::chrono::steady_clock::now();
            if (pa_stream_get_latency(stream_, &latency, &negative) == 0 && !negative)
                heardAt -= std::chrono::microseconds(latency);
            sink_({std::span<const float>(static_cast<const float*>(data), bytes / sizeof(float)), int(format->rate),
                   int(format->channels), heardAt});
        }
        pa_stream_drop(stream_);
    }
}

void PulseInputs::retryLater(int ms)
{
    if (retry_)
        return;
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, pa_usec_t(ms) * 1000);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    retry_ = api->time_new(api, &when, &Callbacks::retry, this);
}

void PulseInputs::retry()
{
    if (stopping_)
        return;
    if (!context_)
        connect();
    else
        openStream();
}

}  // namespace vizmo::sound_input
