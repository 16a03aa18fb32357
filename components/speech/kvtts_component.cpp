#include "components/speech/kvtts_component.h"

#include "components/dispatch/ole_color.h"
#include "components/player_control.h"
#include "components/speech/engine_thread.h"
#include "components/speech/speech_strip.h"

#include <QPainter>

namespace vizmo::speech {

using dispatch::Args;
using dispatch::DispId;
using dispatch::Result;
using dispatch::Variant;
namespace err = dispatch::err;

namespace {

bool inPercentRange(std::int32_t value) { return value >= 0 && value <= 100; }

}  // namespace

KVTTSComponent::KVTTSComponent(QWidget* parent) : QWidget(parent), dispatch::Object(kClassName, memberTable())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    connect(&speaker_, &Speaker::wordReached, this, &KVTTSComponent::onWord);
    connect(&speaker_, &Speaker::visemeDue, this, &KVTTSComponent::onViseme);
    connect(&speaker_, &Speaker::finished, this, &KVTTSComponent::onFinished);
    speaker_.prepare(engine(), voiceIndex_);
}

KVTTSComponent::~KVTTSComponent()
{
    // Leave the player's mouth to its script, not frozen mid-word.
    if (speaker_.state() != Speaker::State::Idle)
        setSpeechActive(false);
    speaker_.stop();
}

EngineKind KVTTSComponent::engine() const
{
    return interface_ == kInterfaceFlite ? EngineKind::Flite : EngineKind::Espeak;
}

const EngineInfo& KVTTSComponent::engineInfo() const { return EngineThread::of(engine()).info(); }

Result KVTTSComponent::doPut(DispId id, const Variant& value)
{
    switch (id) {
    case id::Interface: {
        const QString& name = value.asString();
        if (name != kInterfaceEspeak && name != kInterfaceFlite)
            return fail(err::InvalidPropertyValue,
                        QStringLiteral("Invalid property value: the interface must be \"%1\" or \"%2\", not \"%3\"")
                            .arg(kInterfaceEspeak, kInterfaceFlite, name));
        if (name != interface_) {
            stop();
            interface_ = name;
            voiceIndex_ = 0;
            speaker_.prepare(engine(), voiceIndex_);  // starts the engine now, off this thread
        }
        return {};
    }
    case id::Text:
        text_ = value.asString();
        if (speaker_.state() == Speaker::State::Idle) {
            spokenText_ = text_;
            update();
        }
        return {};
    case id::BackColor:
    case id::ForeColor: {
        const auto colour = std::uint32_t(value.asI4());
        if (!dispatch::isValidColor(colour))
            return fail(err::InvalidPropertyValue, dispatch::invalidColorDescription(members().nameOf(id), colour));
        (id == id::BackColor ? backColor_ : foreColor_) = colour;
        update();
        return {};
    }
    case id::Pitch:
    case id::Speed:
    case id::Volume:
        if (!inPercentRange(value.asI4()))
            return fail(err::InvalidPropertyValue,
                        QStringLiteral("Invalid property value: %1 must be 0 to 100").arg(members().nameOf(id)));
        if (id == id::Pitch)
            pitch_ = value.asI4();
        else if (id == id::Speed)
            speed_ = value.asI4();
        else {
            volume_ = value.asI4();
            speaker_.setVolume(volume_);
        }
        return {};
    case id::VoiceIndex: {
        const int index = value.asI2();
        const int count = int(engineInfo().voices.size());
        if (index < 0 || index >= count)
            return fail(err::InvalidPropertyValue,
                        QStringLiteral("Invalid property value: voice index %1 is not in 0 to %2").arg(index).arg(count - 1));
        voiceIndex_ = index;
        speaker_.prepare(engine(), voiceIndex_);
        return {};
    }
    default:
        return fail(err::NotSupported, {});
    }
}

Result KVTTSComponent::doGet(DispId id, const Args& args)
{
    switch (id) {
    case id::Interface: return Variant::string(interface_);
    case id::Text: return Variant::string(text_);
    case id::BackColor: return Variant::i4(std::int32_t(backColor_));
    case id::ForeColor: return Variant::i4(std::int32_t(foreColor_));
    case id::Pitch: return Variant::i4(pitch_);
    case id::Speed: return Variant::i4(speed_);
    case id::Volume: return Variant::i4(volume_);
    case id::VoiceIndex: return Variant::i2(std::int16_t(voiceIndex_));
    case id::VoiceCount: return Variant::i4(std::int32_t(engineInfo().voices.size()));
    case id::VoiceName: {
        const auto& voices = engineInfo().voices;
        const std::int32_t index = args.at(0).asI4();
        if (index < 0 || index >= voices.size())
            return fail(err::InvalidCall, QStringLiteral("Invalid procedure call or argument: voice index %1 is not in 0 to %2")
                                              .arg(index).arg(voices.size() - 1));
        return Variant::string(voices[index].name);
    }
    default:
        return fail(err::NotSupported, {});
    }
}

Result KVTTSComponent::doCall(DispId id, const Args& args)
{
    switch (id) {
    case id::AttachPlayer: return attachPlayer(args.at(0).asObject());
    case id::Play: play(); return {};
    case id::Pause: pause(); return {};
    case id::Stop: stop(); return {};
    case id::Initialize:
        // Both engines start on their own threads now, so the first voice
        // query and the first Play find them ready.
        EngineThread::of(EngineKind::Espeak);
        EngineThread::of(EngineKind::Flite);
        return {};
    default:
        return fail(err::NotSupported, {});
    }
}

Result KVTTSComponent::attachPlayer(dispatch::Object* candidate)
{
    if (speaker_.state() != Speaker::State::Idle)
        setSpeechActive(false);  // the old player gets its own mouth back
    player_ = nullptr;
    playerGuard_.clear();
    playerIsQObject_ = false;
    if (!candidate || candidate->className() != player::kClassName)
        return Variant::boolean(false);
    player_ = candidate;
    if (auto* object = dynamic_cast<QObject*>(candidate)) {
        playerGuard_ = object;
        playerIsQObject_ = true;
    }
    if (speaker_.state() != Speaker::State::Idle)
        setSpeechActive(true);
    return Variant::boolean(true);
}

dispatch::Object* KVTTSComponent::player() const
{
    if (playerIsQObject_ && !playerGuard_)
        return nullptr;
    return player_;
}

void KVTTSComponent::play()
{
    // Play speaks the current Text: a pause is resumed only when that is still the text paused.
    if (speaker_.state() == Speaker::State::Paused && text_ == spokenText_) {
        speaker_.resume();
        raiseEvent(event::Play);
        return;
    }
    spokenText_ = text_;
    clearHighlight();
    speaker_.setVolume(volume_);
    speaker_.speak(engine(), text_, SpeechSettings{voiceIndex_, pitch_, speed_});
    setSpeechActive(true);
    raiseEvent(event::Play);
}

void KVTTSComponent::pause()
{
    if (speaker_.state() != Speaker::State::Speaking)
        return;
    speaker_.pause();
    raiseEvent(event::Pause);
}

void KVTTSComponent::stop()
{
    if (speaker_.state() == Speaker::State::Idle)
        return;
    speaker_.stop();
    setSpeechActive(false);
    clearHighlight();
    raiseEvent(event::Stop);
}

void KVTTSComponent::onWord(int start, int length, int stress)
{
    // The face's brows and nods land on the stressed words.
    if (dispatch::Object* target = player())
        target->call(player::id::SpeechWord, {Variant::i2(std::int16_t(stress))});
    wordStart_ = start;
    wordLength_ = length;
    update();
    Args args{Variant::i4(start), Variant::i4(length)};
    raiseEvent(event::Word, args);
}

void KVTTSComponent::onViseme(const VisemeCue& cue)
{
    if (dispatch::Object* target = player())
        target->call(player::id::SpeechViseme, {Variant::i2(std::int16_t(cue.viseme)), Variant::i2(std::int16_t(cue.weight)),
                                                Variant::i4(cue.blendMs)});
}

void KVTTSComponent::onFinished()
{
    setSpeechActive(false);
    clearHighlight();
    raiseEvent(event::Eof);
}

void KVTTSComponent::setSpeechActive(bool active)
{
    if (dispatch::Object* target = player())
        target->call(player::id::SpeechActive, {Variant::boolean(active)});
}

void KVTTSComponent::clearHighlight()
{
    wordStart_ = -1;
    wordLength_ = 0;
    update();
}

void KVTTSComponent::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintStrip(painter, rect(),
               {spokenText_, wordStart_, wordLength_, dispatch::toQColor(backColor_), dispatch::toQColor(foreColor_)});
}

}  // namespace vizmo::speech
