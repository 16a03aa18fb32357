#pragma once
// The sound inputs the system offers (microphones, and the monitors of its
// outputs, through which another program's sound can be heard) and the
// reading of one of them. An input once chosen stays chosen: when it goes
// away (unplugged, the sound server restarting) nothing is read, and reading
// starts again by itself when it comes back. Only the chosen input is open.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <span>
#include <vector>

namespace vizmo::sound_input {

struct InputDevice {
    QByteArray id;        // the system's name for it, stable while it exists
    QString description;  // what a person is shown
    bool monitor = false; // it hears an output, not a microphone
    friend bool operator==(const InputDevice&, const InputDevice&) = default;
};

// A piece of sound as it was read: interleaved samples, -1..1, at the input's
// own rate and channel count; `heardAt` is when its last sample was heard.
struct SoundPiece {
    std::span<const float> samples;
    int rate = 0;
    int channels = 0;
    std::chrono::steady_clock::time_point heardAt;
};

class SoundInputs {
public:
    // Called on the inputs' own thread, one piece after another.
    using PieceSink = std::function<void(const SoundPiece&)>;

    virtual ~SoundInputs() = default;
    // The inputs there are now, microphones first; empty when there is no
    // sound server. Callable from any thread.
    virtual std::vector<InputDevice> devices() const = 0;
    // Reads `id` from now on, handing each piece to `sink`; an empty id
    // stops reading and closes the input. Once this returns, the sink of an
    // earlier choice is no longer called.
    virtual void listen(const QByteArray& id, PieceSink sink) = 0;
    // Whether the chosen input is open and being read now.
    virtual bool reading() const = 0;
};

}  // namespace vizmo::sound_input
