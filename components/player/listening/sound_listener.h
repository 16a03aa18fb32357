#pragma once
// What the player hears from the input it listens to: the input is read on
// its own thread, and each piece is converted and analysed there as it
// arrives (components/sound_shapes), so the UI thread only collects the
// frames, each with the moment its sound was heard. Nothing is kept but the
// frames not yet collected.

#include "components/sound_input/sound_inputs.h"
#include "components/sound_shapes/input_converter.h"
#include "components/sound_shapes/shape_stream.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace vizmo::player {

struct HeardFrame {
    sound_shapes::ShapeFrame frame;
    std::chrono::steady_clock::time_point heardAt;  // the middle of the frame's sound
    bool settled = false;  // its class as voted on by its neighbours, not as first heard
};

class SoundListener {
public:
    using MakeInputs = std::function<std::unique_ptr<sound_input::SoundInputs>()>;
    // The system's inputs are reached through what `make` returns, made on
    // first use: a player never asked to listen opens nothing.
    explicit SoundListener(MakeInputs make);
    ~SoundListener();
    SoundListener(const SoundListener&) = delete;
    SoundListener& operator=(const SoundListener&) = delete;

    std::vector<sound_input::InputDevice> inputs();
    // Listens to the input `id` (one of inputs()), or to nothing with an
    // empty id; false, changing nothing, for an id that is not an input now.
    bool listenTo(const QByteArray& id);
    const QByteArray& input() const { return input_; }
    // What the chosen input was called when it was chosen.
    const QString& inputDescription() const { return description_; }
    bool listening() const { return !input_.isEmpty(); }
    // Whether the input is being read now (false while it is away).
    bool hearing();
    // The frames heard since the last call, oldest first: each once as heard
    // and once settled (ShapeStream). At most a second of them is kept: a UI
    // thread that was held up takes the latest.
    std::vector<HeardFrame> takeHeard();

    // `wake` is called on the input's thread when frames come at or after
    // the moment the UI asked for its next frame (wantFrameAt), once for
    // each ask: the player then draws as soon as the sound is heard, not at
    // its frame timer's next tick, and no more often than it asks.
    void setWake(std::function<void()> wake);
    void wantFrameAt(std::chrono::steady_clock::time_point due);

    // The process's inputs, through the sound server.
    static std::unique_ptr<sound_input::SoundInputs> systemInputs();

private:
    sound_input::SoundInputs& system();
    // On the input's thread.
    void hear(const sound_input::SoundPiece& piece);

    MakeInputs make_;
    std::unique_ptr<sound_input::SoundInputs> inputs_;
    QByteArray input_;
    QString description_;

    // The input's thread's, between listenTo calls.
    std::unique_ptr<sound_shapes::InputConverter> converter_;
    std::unique_ptr<sound_shapes::ShapeStream> stream_;
    std::vector<std::pair<sound_shapes::ShapeFrame, bool>> fresh_;  // and whether settled
    double taken_ = 0;       // input frames converted so far
    std::int64_t given_ = 0; // samples at the analysis rate given to the stream

    std::mutex mutex_;
    std::vector<HeardFrame> heard_;

    static constexpr std::int64_t kNotWanted = std::numeric_limits<std::int64_t>::max();
    std::function<void()> wake_;  // set before any input is read
    std::atomic<std::int64_t> frameWantedNs_ = kNotWanted;  // steady clock; kNotWanted once woken
};

}  // namespace vizmo::player
