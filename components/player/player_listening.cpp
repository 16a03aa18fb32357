#include "components/player/vizmo4.h"

#include "components/player/listening/listened_mouth.h"
#include "components/player_control.h"

#include <algorithm>
#include <chrono>

// The speech mouth's two sources: the SpeechComponent's speech input, and a
// sound input the player listens to. While speech is active it has the
// mouth; otherwise what the player hears moves it.

namespace vizmo::player {

void Vizmo4::setSoundInputs(SoundListener::MakeInputs make)
{
    listener_ = std::make_unique<SoundListener>(std::move(make));
    listener_->setWake([this] { QMetaObject::invokeMethod(this, &Vizmo4::heardTick, Qt::QueuedConnection); });
}

std::chrono::steady_clock::duration Vizmo4::listenedFrameInterval() const
{
    return std::chrono::milliseconds(1000 / fps_ - kListenedWakeSlackMs);
}

void Vizmo4::heardTick()
{
    if (listenedMouthShown())
        drawIfMoved();
}

void Vizmo4::setSpeechActive(bool active)
{
    if (speechActive_ == active)
        return;
    const bool wasShown = speechMouthShown();
    speechActive_ = active;
    speechMouthChanged(wasShown);
    life_.speechActive(now() / 1000.0, speechActive_);
}

void Vizmo4::speechMouthChanged(bool wasShown)
{
    if (speechMouthShown() == wasShown)
        return;
    speechSwitchMs_ = now();
    if (!wasShown)
        speechMouth_.reset();
}

dispatch::Result Vizmo4::listenTo(const QString& input)
{
    const bool wasShown = speechMouthShown();
    if (!listener_->listenTo(input.toUtf8()))
        return refuse(QStringLiteral("there is no sound input named \"%1\" now; ListenInputs lists them").arg(input));
    heardResting_ = true;
    lastHeardAtMs_ = now();
    listener_->wantFrameAt(std::chrono::steady_clock::now());
    speechMouthChanged(wasShown);
    if (!listener_->listening())
        life_.speechActive(now() / 1000.0, false);  // a phrase heard ends here
    update();
    return {};
}

QString Vizmo4::listenInputs()
{
    QString out;
    for (const auto& input : listener_->inputs())
        out += QString::fromUtf8(input.id) + u'\t' + input.description + u'\n';
    out.chop(1);
    return out;
}

void Vizmo4::followHeard(double nowMs)
{
    if (!listener_->listening())
        return;
    const auto steadyNow = std::chrono::steady_clock::now();
    for (const HeardFrame& heard : listener_->takeHeard()) {
        lastHeardAtMs_ = nowMs;
        if (speechActive_)
            continue;  // the speech input has the mouth
        if (heard.settled) {
            // The gestures follow the settled classes: phrases and accents.
            const ListenedTarget target = listenedTarget(heard.frame);
            if (target.viseme != heardViseme_)
                life_.speechSound(nowMs / 1000.0, target.viseme, target.weight);
            heardViseme_ = target.viseme;
            if (heard.frame.accent)
                life_.speechWord(nowMs / 1000.0, *heard.frame.accent);
            continue;
        }
        // The mouth moves from when the sound was heard: the spring is where it
        // would be had the frame come at once.
        const double agoMs = std::chrono::duration<double, std::milli>(steadyNow - heard.heardAt).count();
        const double fromMs = std::min(std::max({nowMs - agoMs, heardMs_, nowMs - kLongestCatchUpMs}), nowMs);
        heardMs_ = fromMs;
        // Each frame is shown as first heard, before its neighbours have
        // voted on it: the spring's 30 ms smooth a single stray frame.
        const ListenedTarget target = listenedTarget(heard.frame);
        speechMouth_.setTarget(visemeShape(target.viseme, target.weight), fromMs, target.settleMs);
        heardResting_ = target.viseme == viseme::Silence;
    }
    // Nothing heard for a while: the input is away or held up, and the mouth rests.
    if (!heardResting_ && nowMs - lastHeardAtMs_ > kDeafAfterMs) {
        heardResting_ = true;
        heardViseme_ = viseme::Silence;
        heardMs_ = nowMs;
        if (!speechActive_) {
            speechMouth_.setTarget(visemeShape(viseme::Silence), nowMs, kListenedRestSettleMs);
            life_.speechSound(nowMs / 1000.0, viseme::Silence, 1.0);
        }
    }
}

}  // namespace vizmo::player
