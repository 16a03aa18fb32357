#include "components/player/listening/sound_listener.h"

#include "components/sound_input/pulse_inputs.h"

#include <algorithm>

namespace vizmo::player {

namespace {
namespace shapes = sound_shapes;
constexpr std::size_t kMostKept = 200;  // a second of frames, each heard and settled
}  // namespace

SoundListener::SoundListener(MakeInputs make) : make_(std::move(make)) {}

SoundListener::~SoundListener()
{
    if (inputs_)
        inputs_->listen({}, {});
}

std::unique_ptr<sound_input::SoundInputs> SoundListener::systemInputs()
{
    return std::make_unique<sound_input::PulseInputs>();
}

sound_input::SoundInputs& SoundListener::system()
{
    if (!inputs_)
        inputs_ = make_();
    return *inputs_;
}

std::vector<sound_input::InputDevice> SoundListener::inputs() { return system().devices(); }

bool SoundListener::hearing() { return listening() && system().reading(); }

bool SoundListener::listenTo(const QByteArray& id)
{
    QString description;
    if (!id.isEmpty()) {
        const auto devices = inputs();
        const auto found = std::find_if(devices.begin(), devices.end(), [&](const auto& d) { return d.id == id; });
        if (found == devices.end())
            return false;
        description = found->description;
    }
    if (!inputs_ && id.isEmpty())
        return true;  // nothing was open
    // The old input's sink is quiet once this returns: the analysis starts afresh.
    system().listen({}, {});
    converter_.reset();
    stream_.reset();
    {
        const std::lock_guard lock(mutex_);
        heard_.clear();
    }
    input_ = id;
    description_ = description;
    if (!id.isEmpty())
        system().listen(id, [this](const sound_input::SoundPiece& piece) { hear(piece); });
    return true;
}

void SoundListener::setWake(std::function<void()> wake) { wake_ = std::move(wake); }

void SoundListener::wantFrameAt(std::chrono::steady_clock::time_point due)
{
    frameWantedNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count();
}

std::vector<HeardFrame> SoundListener::takeHeard()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(heard_, {});
}

void SoundListener::hear(const sound_input::SoundPiece& piece)
{
    if (!converter_ || converter_->rate() != piece.rate || converter_->channels() != piece.channels) {
        // Another format is another input: its voice is learnt afresh.
        converter_ = std::make_unique<shapes::InputConverter>(piece.rate, piece.channels);
        stream_ = std::make_unique<shapes::ShapeStream>([this](const shapes::ShapeFrame& f) { fresh_.emplace_back(f, true); },
                                                        [this](const shapes::ShapeFrame& f) { fresh_.emplace_back(f, false); });
        taken_ = 0;
        given_ = 0;
    }
    if (!converter_->valid() || piece.channels <= 0)
        return;
    const std::span<const float> converted = converter_->convert(piece.samples);
    taken_ += double(piece.samples.size() / std::size_t(piece.channels));
    given_ += std::int64_t(converted.size());
    stream_->push(converted);
    if (fresh_.empty())
        return;
    // The last sample given to the analysis was heard when the piece's last
    // was, less what the converter holds back.
    const double heldBack = taken_ * converter_->ratio() - double(given_);
    const double lastGiven = double(given_) + heldBack;
    const std::lock_guard lock(mutex_);
    for (const auto& [f, settled] : fresh_) {
        const double middle = (double(f.index) + 0.5) * shapes::kHop;
        const auto ago = std::chrono::duration<double>((lastGiven - middle) / shapes::kRate);
        heard_.push_back({f, piece.heardAt - std::chrono::duration_cast<std::chrono::steady_clock::duration>(ago), settled});
    }
    fresh_.clear();
    if (heard_.size() > kMostKept)
        heard_.erase(heard_.begin(), heard_.end() - std::ptrdiff_t(kMostKept));
    if (!wake_)
        return;
    const std::int64_t nowNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::int64_t wanted = frameWantedNs_.load();
    if (nowNs >= wanted && frameWantedNs_.compare_exchange_strong(wanted, kNotWanted))
        wake_();
}

}  // namespace vizmo::player
