#include "components/player/vizmo4.h"

#include "components/player/off_thread.h"
#include "components/player/script_audio.h"
#include "components/player_control.h"

// Loading what the player shows: the face model, the script with its sound,
// and the background image.

namespace vizmo::player {

using dispatch::Args;
using dispatch::Result;
using dispatch::Variant;

namespace {
// The load's work, run after the gate a test may have set.
template <typename Work>
auto behind(std::function<void()> gate, Work work)
{
    return [gate = std::move(gate), work = std::move(work)] {
        if (gate)
            gate();
        return work();
    };
}
}  // namespace

Result Vizmo4::setModelName(const QString& path)
{
    if (path.isEmpty()) {
        model_ = defaultFaceModel();
        ++modelGeneration_;
        modelPath_.clear();
        update();
        return {};
    }
    auto loaded = runOffThread(behind(loadGate_, [path] { return loadFaceModel(path); }));
    if (!loaded.ok())
        return fail(loaded.error().number, loaded.error().description);
    model_ = std::move(loaded.value());
    ++modelGeneration_;
    modelPath_ = path;
    update();
    Args args{Variant::string(path)};
    raiseEvent(event::ModelLoaded, args);
    return {};
}

Result Vizmo4::setScriptName(const QString& path)
{
    std::shared_ptr<const Script> next;
    std::shared_ptr<const WavSound> sound;
    if (!path.isEmpty()) {
        // The sound is decoded with the script, so a sound that cannot be
        // played is refused here, at the call, like a bad line of the script.
        struct Loaded {
            Script script;
            std::shared_ptr<const WavSound> sound;
        };
        auto loaded = runOffThread(behind(loadGate_, [path]() -> LoadResult<Loaded> {
            auto script = loadScript(path);
            if (!script.ok())
                return script.error();
            Loaded out{std::move(script.value()), nullptr};
            if (!out.script.audioPath.isEmpty()) {
                auto wav = readWav(out.script.audioPath);
                if (!wav.ok())
                    return wav.error();
                out.sound = std::make_shared<const WavSound>(std::move(wav.value()));
            }
            return out;
        }));
        if (!loaded.ok())
            return fail(loaded.error().number, loaded.error().description);
        next = std::make_shared<const Script>(std::move(loaded.value().script));
        sound = std::move(loaded.value().sound);
    }
    // The old script ends here without an Eof: it did not play to its end.
    const bool wasRunning = timeline_.state() != PlaybackState::Stopped;
    progressTimer_.stop();
    audio_.reset();
    script_ = std::move(next);
    scriptContent_.replaced();
    if (sound)
        audio_ = std::make_unique<ScriptAudio>(std::move(sound));
    scriptPath_ = path;
    timeline_.setLength(script_ ? script_->lengthMs : 0);
    const quint64 generation = ++generation_;
    update();
    if (wasRunning) {
        raiseEvent(event::Stop, scriptContent_);
        if (generation != generation_)
            return {};
    }
    if (!script_)
        return {};
    Args args{Variant::string(path)};
    raiseEvent(event::ScriptLoaded, args, scriptContent_);
    if (generation == generation_ && autoPlay_ == 1)
        startPlayback();
    return {};
}

Result Vizmo4::setBackImage(const QString& path)
{
    if (path.isEmpty()) {
        backImagePath_.clear();
        backImage_ = QImage();
        backdropChanged();
        return {};
    }
    const auto checked = checkBackImage(path);
    if (!checked.ok())
        return fail(checked.error().number, checked.error().description);
    // Decoding a photo can take a while: it runs on a worker, and a file that
    // passed the checks but cannot be decoded (cut short, damaged) is still
    // refused here, at the call.
    auto decoded = runOffThread(behind(loadGate_, [path] { return decodeBackImage(path); }));
    if (!decoded.ok())
        return fail(decoded.error().number, decoded.error().description);
    backImagePath_ = path;
    backImage_ = std::move(decoded.value());
    backdropChanged();
    return {};
}

}  // namespace vizmo::player
