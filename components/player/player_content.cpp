#include "components/player/vizmo4.h"

#include "components/player/off_thread.h"
#include "components/player/script_audio.h"
#include "components/player_control.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

// Loading what the player shows: the face model, the script with its sound,
// and the background image.

namespace vizmo::player {

using dispatch::Args;
using dispatch::Result;
using dispatch::Variant;

Result Vizmo4::setModelName(const QString& path)
{
    const int request = ++modelRequest_;
    if (path.isEmpty()) {
        model_ = defaultFaceModel();
        ++modelGeneration_;
        modelPath_.clear();
        update();
        return {};
    }
    auto loaded = runOffThread([path] { return loadFaceModel(path); });
    if (!loaded.ok())
        return fail(loaded.error().number, loaded.error().description);
    // A model set while this one loaded (from an event handler) stands.
    if (request != modelRequest_)
        return {};
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
    const int request = ++scriptRequest_;
    std::shared_ptr<const Script> next;
    if (!path.isEmpty()) {
        auto loaded = runOffThread([path]() -> LoadResult<Script> {
            auto script = loadScript(path);
            if (script.ok() && !script.value().audioPath.isEmpty()) {
                const auto sound = inspectWav(script.value().audioPath);
                if (!sound.ok())
                    return sound.error();
            }
            return script;
        });
        if (!loaded.ok())
            return fail(loaded.error().number, loaded.error().description);
        // A script set while this one loaded (from an event handler) stands.
        if (request != scriptRequest_)
            return {};
        next = std::make_shared<const Script>(std::move(loaded.value()));
    }
    // The old script ends here without an Eof: it did not play to its end.
    const bool wasRunning = timeline_.state() != PlaybackState::Stopped;
    progressTimer_.stop();
    audio_.reset();
    script_ = std::move(next);
    if (script_ && !script_->audioPath.isEmpty()) {
        audio_ = std::make_unique<ScriptAudio>(script_->audioPath);
        connect(audio_.get(), &ScriptAudio::decoded, this, [this] {
            if (timeline_.state() == PlaybackState::Playing)
                audio_->play(timeline_.position(now()));
        });
    }
    scriptPath_ = path;
    timeline_.setLength(script_ ? script_->lengthMs : 0);
    const quint64 generation = ++generation_;
    update();
    if (wasRunning) {
        raiseEvent(event::Stop);
        if (generation != generation_)
            return {};
    }
    if (!script_)
        return {};
    Args args{Variant::string(path)};
    raiseEvent(event::ScriptLoaded, args);
    if (generation == generation_ && autoPlay_ == 1)
        startPlayback();
    return {};
}

Result Vizmo4::setBackImage(const QString& path)
{
    const int request = ++backImageRequest_;
    if (path.isEmpty()) {
        backImagePath_.clear();
        backImage_ = QImage();
        backImageShown_ = request;
        backdropChanged();
        return {};
    }
    const auto checked = checkBackImage(path);
    if (!checked.ok()) {
        --backImageRequest_;
        return fail(checked.error().number, checked.error().description);
    }
    backImagePath_ = path;
    // Decoding a photo can take tens of milliseconds: it runs on a worker and
    // the newest request wins when several are in flight.
    auto* watcher = new QFutureWatcher<LoadResult<QImage>>(this);
    connect(watcher, &QFutureWatcher<LoadResult<QImage>>::finished, this, [this, watcher, request] {
        watcher->deleteLater();
        if (request != backImageRequest_)
            return;
        const LoadResult<QImage> result = watcher->result();
        if (result.ok())
            backImage_ = result.value();
        else
            qWarning("Vizmo4: %s", qPrintable(result.error().description));
        backImageShown_ = request;
        backdropChanged();
        emit backImageReady();
    });
    watcher->setFuture(QtConcurrent::run(decodeBackImage, path));
    return {};
}

}  // namespace vizmo::player
