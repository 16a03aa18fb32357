#include "components/player/vizmo4.h"

#include "components/dispatch/ole_color.h"
#include "components/player/control_bar.h"
#include "components/player/drawing/one_thread_painting.h"
#include "components/player/listening/listened_mouth.h"
#include "components/player/motion/pose_composer.h"
#include "components/player/player_accessible.h"
#include "components/player/script_audio.h"
#include "components/player_control.h"

#include <QPainter>

#include <algorithm>
#include <utility>

namespace vizmo::player {

using dispatch::Args;
using dispatch::DispId;
using dispatch::Result;
using dispatch::Variant;
namespace err = dispatch::err;

namespace {
constexpr int kProgressIntervalMs = 40;  // 25 Progress events a second
constexpr double kPoseUnits = 255.0;     // the posing methods take -255..255

double clampPose(int value) { return std::clamp(double(value), -kPoseUnits * 3, kPoseUnits * 3); }

}  // namespace

Vizmo4::Vizmo4(QWidget* parent)
    : QWidget(parent), dispatch::Object(kClassName, memberTable()), model_(defaultFaceModel()),
      life_(LifeMotion::freshSeed())
{
    makeMenusAccessible();
    monotonic_.start();
    clock_ = [this] { return double(monotonic_.nsecsElapsed()) / 1e6; };
    setMouseTracking(false);
    setAutoFillBackground(false);
    backdropChanged();
    resize(256, 256);

    listener_->setWake([this] { QMetaObject::invokeMethod(this, &Vizmo4::heardTick, Qt::QueuedConnection); });
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(1000 / fps_);
    connect(&frameTimer_, &QTimer::timeout, this, &Vizmo4::frameTick);
    frameTimer_.start();
    progressTimer_.setTimerType(Qt::PreciseTimer);
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, &Vizmo4::playbackTick);
    life_.setMode(lifeMode_);
}

Vizmo4::~Vizmo4()
{
    // Events raised while the widget is being destroyed would reach a host
    // that is being destroyed too.
    setEventSink(nullptr);
}

void Vizmo4::setClock(std::function<double()> clock)
{
    clock_ = std::move(clock);
}

// ---- dispatch ---------------------------------------------------------------

Result Vizmo4::refuse(const QString& what) const
{
    return fail(err::InvalidPropertyValue, QStringLiteral("Invalid property value: %1").arg(what));
}

Result Vizmo4::doPut(DispId dispId, const Variant& value)
{
    switch (dispId) {
    case id::ModelName: return setModelName(value.asString());
    case id::ScriptName: return setScriptName(value.asString());
    case id::BackImage: return setBackImage(value.asString());
    case id::ListenTo: return listenTo(value.asString());
    case id::Strength: return setRanged(dispId, value.asI4());
    case id::BackColor: {
        const auto colour = std::uint32_t(value.asI4());
        if (!dispatch::isValidColor(colour))
            return fail(err::InvalidPropertyValue, dispatch::invalidColorDescription(members().nameOf(dispId), colour));
        backColor_ = colour;
        backdropChanged();
        return {};
    }
    default: return setRanged(dispId, value.asI2());
    }
}

Result Vizmo4::setRanged(DispId dispId, int value)
{
    struct Range {
        DispId id;
        int low, high;
        int Vizmo4::*field;
    };
    static const Range ranges[] = {
        {id::ControStyle, 0, 1, &Vizmo4::controStyle_}, {id::AutoPlay, 0, 1, &Vizmo4::autoPlay_},
        {id::MenuStyle, -1, 1, &Vizmo4::menuStyle_},    {id::LifeMode, 0, 3, &Vizmo4::lifeMode_},
        {id::StrengthMode, 0, 1, &Vizmo4::strengthMode_}, {id::BackMode, -1, 2, &Vizmo4::backMode_},
        {id::Strength, 0, 255, &Vizmo4::strength_},     {id::BorderStyle, 0, 1, &Vizmo4::borderStyle_},
    };
    for (const Range& range : ranges) {
        if (range.id != dispId)
            continue;
        if (value < range.low || value > range.high)
            return refuse(QStringLiteral("%1 must be %2 to %3, not %4")
                              .arg(memberTable().nameOf(dispId))
                              .arg(range.low)
                              .arg(range.high)
                              .arg(value));
        this->*range.field = value;
        if (dispId == id::LifeMode)
            life_.setMode(value);
        if (dispId == id::BackMode)
            backdropChanged();
        update();
        return {};
    }
    return fail(err::NotSupported, {});
}

Result Vizmo4::doGet(DispId dispId, const Args&)
{
    switch (dispId) {
    case id::ControStyle: return Variant::i2(std::int16_t(controStyle_));
    case id::ModelName: return Variant::string(modelPath_);
    case id::ScriptName: return Variant::string(scriptPath_);
    case id::AutoPlay: return Variant::i2(std::int16_t(autoPlay_));
    case id::MenuStyle: return Variant::i2(std::int16_t(menuStyle_));
    case id::LifeMode: return Variant::i2(std::int16_t(lifeMode_));
    case id::StrengthMode: return Variant::i2(std::int16_t(strengthMode_));
    case id::BackImage: return Variant::string(backImagePath_);
    case id::BackMode: return Variant::i2(std::int16_t(backMode_));
    case id::Strength: return Variant::i4(strength_);
    case id::BackColor: return Variant::i4(std::int32_t(backColor_));
    case id::BorderStyle: return Variant::i2(std::int16_t(borderStyle_));
    case id::ListenTo: return Variant::string(QString::fromUtf8(listener_->input()));
    case id::ListenInputs: return Variant::string(listenInputs());
    default: return fail(err::NotSupported, {});
    }
}

Result Vizmo4::doCall(DispId dispId, const Args& args)
{
    switch (dispId) {
    case id::Play:
        if (args[0].asI4() != 0)
            return fail(err::InvalidPropertyValue,
                        QStringLiteral("Invalid property value: Play mode %1 is not supported; 0 plays from the start "
                                       "or resumes after Pause")
                            .arg(args[0].asI4()));
        startPlayback();
        return {};
    case id::Stop: stopPlayback(); return {};
    case id::Pause: pausePlayback(); return {};
    case id::SetEye:
        // Values beyond the nominal ±255 (a pointer on a second screen) are
        // accepted and drawn at the limit.
        posing_.eyeX[0] = clampPose(args[0].asI2()), posing_.eyeY[0] = clampPose(args[1].asI2());
        posing_.eyeX[1] = clampPose(args[2].asI2()), posing_.eyeY[1] = clampPose(args[3].asI2());
        eyesSetMs_ = now();
        update();
        return {};
    case id::SetHead:
        posing_.headX = clampPose(args[0].asI2()), posing_.headY = clampPose(args[1].asI2()),
        posing_.headZ = clampPose(args[2].asI2());
        update();
        return {};
    case id::SetShoulder:
        posing_.shoulderLeft = clampPose(args[0].asI2()), posing_.shoulderRight = clampPose(args[1].asI2());
        update();
        return {};
    case id::SetFPS: {
        const int first = args[0].asI4(), fps = args[1].asI4();
        if (first != 0)
            return refuse(QStringLiteral("the first argument of SetFPS must be 0, not %1").arg(first));
        if (fps < 8 || fps > 60)
            return refuse(QStringLiteral("SetFPS takes 8 to 60 frames per second, not %1").arg(fps));
        fps_ = fps;
        frameTimer_.setInterval(1000 / fps_);
        return {};
    }
    case id::SpeechActive:
        setSpeechActive(args[0].asBool());
        update();
        return {};
    case id::SpeechViseme: {
        const int viseme = args[0].asI2(), weight = args[1].asI2(), blendMs = args[2].asI4();
        if (viseme < 0 || viseme >= viseme::Count)
            return refuse(QStringLiteral("SpeechViseme takes a viseme 0 to 14, not %1").arg(viseme));
        if (weight < 0 || weight > 255)
            return refuse(QStringLiteral("SpeechViseme takes a weight 0 to 255, not %1").arg(weight));
        if (blendMs < 0 || blendMs > 1000)
            return refuse(QStringLiteral("SpeechViseme takes a blend of 0 to 1000 ms, not %1").arg(blendMs));
        speechMouth_.setTarget(visemeShape(viseme, weight / 255.0), now(), blendMs);
        life_.speechSound(now() / 1000.0, viseme, weight / 255.0);
        update();
        return {};
    }
    case id::SpeechWord: {
        const int stress = args[0].asI2();
        if (stress < 0 || stress > 255)
            return refuse(QStringLiteral("SpeechWord takes a stress of 0 to 255, not %1").arg(stress));
        life_.speechWord(now() / 1000.0, stress / 255.0);
        return {};
    }
    default: return fail(err::NotSupported, {});
    }
}


// ---- animation and painting ----------------------------------------------------

void Vizmo4::backdropChanged()
{
    // Over an opaque backdrop every pixel is painted: Qt need not clear the
    // widget first.
    setAttribute(Qt::WA_OpaquePaintEvent,
                 backdropIsOpaque(BackMode(backMode_), dispatch::toQColor(backColor_), backImage_));
    update();
}

void Vizmo4::setLifeMode(int mode)
{
    lifeMode_ = mode;
    life_.setMode(mode);
    // Still stops the frame timer's redraws, so the new mode shows now.
    update();
}

bool Vizmo4::animating() const
{
    return lifeMode_ > 0 || timeline_.state() == PlaybackState::Playing || speechMouthShown() ||
           now() - speechSwitchMs_ < kSpeechSwitchMs + 1000;
}

bool Vizmo4::gazeHeld() const
{
    constexpr double kHoldMs = 1000.0;  // tracking sends SetEye ten times a second
    const bool offCentre = posing_.eyeX[0] != 0 || posing_.eyeY[0] != 0 || posing_.eyeX[1] != 0 || posing_.eyeY[1] != 0;
    return offCentre || now() - eyesSetMs_ < kHoldMs;
}

FrameMeasures Vizmo4::measuresOf(const FacePose& pose) const
{
    FrameMeasures measures = frameMeasures(pose, std::min(width(), height()) * devicePixelRatioF());
    if (controStyle_ == 1)
        measures.push_back(timeline_.position(now()) / std::max(1, timeline_.length()) * width());
    return measures;
}

void Vizmo4::frameTick()
{
    // While listening, frames are drawn as their sound comes (heardTick);
    // the timer draws one only when none came for a frame's interval.
    if (listenedMouthShown() && std::chrono::steady_clock::now() - drawnAt_ < listenedFrameInterval())
        return;
    drawIfMoved();
}

void Vizmo4::drawIfMoved()
{
    // A still face with nothing playing is not redrawn: an idle player costs
    // nothing. A living face is redrawn when it moved enough to show.
    if (animating() && frameGate_.differs(measuresOf(currentPose())))
        update();
    else if (listenedMouthShown())
        listener_->wantFrameAt(std::chrono::steady_clock::now() + listenedFrameInterval());
}

FacePose Vizmo4::currentPose()
{
    const double t = now();
    followHeard(t);
    PoseLayers layers;
    if (script_)
        layers.script = script_->sample(scriptPosition());
    layers.posing = posing_;
    // Life needs the head as script and host pose it, for the hair to trail it.
    const FacePose posed = composePose(layers);
    layers.life = life_.at(t / 1000.0, {posed.headX, posed.headY, posed.headZ, gazeHeld()});
    layers.strength = strengthMode_ == 1 ? strength_ / 255.0 : 1.0;
    const bool listened = listener_->listening() && !speechActive_;
    layers.speech = {speechMouthShown(), t - speechSwitchMs_, speechMouth_.at(listened ? t + kListenedPresentationMs : t)};
    return composePose(layers);
}

// The frame timer asks for a frame only when one would show a change (see
// frameTick); a frame Qt asks for is drawn whole.
void Vizmo4::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const FacePose pose = currentPose();
    const QColor backColor = dispatch::toQColor(backColor_), borderColor = palette().color(QPalette::WindowText);
    framesOnOneThread_ += paintOnOneThread([&] { paintFrame(painter, pose, backColor, borderColor); });
    frameGate_.drawn(measuresOf(pose));
    drawnAt_ = std::chrono::steady_clock::now();
    if (listener_->listening())
        listener_->wantFrameAt(drawnAt_ + listenedFrameInterval());
}

void Vizmo4::paintFrame(QPainter& painter, const FacePose& pose, const QColor& backColor, const QColor& borderColor)
{
    const QRectF area = rect();
    if (figureGeneration_ != modelGeneration_) {
        figure_ = makeFigureRenderer(model_);
        figureGeneration_ = modelGeneration_;
    }
    const bool opaque = backdropIsOpaque(BackMode(backMode_), backColor, backImage_);
    figure_->paint(painter, area, pose,
                   {{modelGeneration_, backMode_, backColor.rgba(), backImage_.cacheKey()},
                    opaque ? backColor : QColor(Qt::transparent),
                    [&](QPainter& layer) { backdrop_.paint(layer, area, BackMode(backMode_), backColor, backImage_); }});
    if (controStyle_ == 1) {
        const double total = std::max(1, timeline_.length());
        paintControlBar(painter, controlBarLayout(area), timeline_.state(), timeline_.position(now()) / total);
    }
    if (borderStyle_ == 1) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(borderColor, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ---- mouse and menu -------------------------------------------------------------

}  // namespace vizmo::player
