#include "components/player/vizmo4.h"

#include "components/dispatch/ole_color.h"
#include "components/player/control_bar.h"
#include "components/player/face_renderer.h"
#include "components/player/player_menu.h"
#include "components/player/script_audio.h"
#include "components/player_control.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vizmo::player {

using dispatch::Args;
using dispatch::DispId;
using dispatch::Result;
using dispatch::Variant;
namespace err = dispatch::err;

namespace {
constexpr int kProgressIntervalMs = 40;  // 25 Progress events a second
constexpr double kPoseUnits = 255.0;     // SetHead and SetShoulder: -255..255
constexpr double kGazeUnits = 128.0;     // SetEye: ±128 looks to the corner of the eye
constexpr double kSpeechSwitchMs = 120.0;
constexpr int kSystemColorCount = 25;

double clampPose(int value) { return std::clamp(double(value), -kPoseUnits * 3, kPoseUnits * 3); }

bool validColor(std::uint32_t value)
{
    if (dispatch::isSystemColor(value))
        return (value & 0x7FFFFF00u) == 0 && (value & 0xFFu) < kSystemColorCount;
    return (value & 0xFF000000u) == 0;
}

int mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}
}  // namespace

Vizmo4::Vizmo4(QWidget* parent)
    : QWidget(parent), dispatch::Object(kClassName, memberTable()), model_(defaultFaceModel())
{
    monotonic_.start();
    clock_ = [this] { return double(monotonic_.nsecsElapsed()) / 1e6; };
    setMouseTracking(false);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(256, 256);

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
    case id::Strength: return setRanged(dispId, value.asI4());
    case id::BackColor: {
        const auto colour = std::uint32_t(value.asI4());
        if (!validColor(colour))
            return refuse(QStringLiteral("BackColor &H%1 is neither a colour &H00BBGGRR nor a system colour &H800000nn (nn below %2)")
                              .arg(QString::number(colour, 16).toUpper().rightJustified(8, u'0'))
                              .arg(kSystemColorCount));
        backColor_ = colour;
        update();
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
        eyeX_[0] = clampPose(args[0].asI2()), eyeY_[0] = clampPose(args[1].asI2());
        eyeX_[1] = clampPose(args[2].asI2()), eyeY_[1] = clampPose(args[3].asI2());
        update();
        return {};
    case id::SetHead:
        headX_ = clampPose(args[0].asI2()), headY_ = clampPose(args[1].asI2()), headZ_ = clampPose(args[2].asI2());
        update();
        return {};
    case id::SetShoulder:
        shoulderLeft_ = clampPose(args[0].asI2()), shoulderRight_ = clampPose(args[1].asI2());
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
        if (speechActive_ != args[0].asBool()) {
            speechActive_ = args[0].asBool();
            speechSwitchMs_ = now();
            if (speechActive_)
                speechMouth_.reset();
        }
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
        update();
        return {};
    }
    default: return fail(err::NotSupported, {});
    }
}

// ---- content ------------------------------------------------------------------

Result Vizmo4::setModelName(const QString& path)
{
    if (path.isEmpty()) {
        model_ = defaultFaceModel();
        modelPath_.clear();
        update();
        return {};
    }
    auto loaded = loadFaceModel(path);
    if (!loaded.ok())
        return fail(loaded.error().number, loaded.error().description);
    model_ = std::move(loaded.value());
    modelPath_ = path;
    update();
    Args args{Variant::string(path)};
    raiseEvent(event::ModelLoaded, args);
    return {};
}

Result Vizmo4::setScriptName(const QString& path)
{
    std::shared_ptr<const Script> next;
    if (!path.isEmpty()) {
        auto loaded = loadScript(path);
        if (!loaded.ok())
            return fail(loaded.error().number, loaded.error().description);
        next = std::make_shared<const Script>(std::move(loaded.value()));
        if (!next->audioPath.isEmpty()) {
            const auto sound = inspectWav(next->audioPath);
            if (!sound.ok())
                return fail(sound.error().number, sound.error().description);
        }
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
        update();
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
        update();
        emit backImageReady();
    });
    watcher->setFuture(QtConcurrent::run(decodeBackImage, path));
    return {};
}

// ---- playback -----------------------------------------------------------------

void Vizmo4::startPlayback()
{
    if (!script_ || timeline_.state() == PlaybackState::Playing)
        return;
    const bool resuming = timeline_.state() == PlaybackState::Paused;
    timeline_.play(now());
    if (audio_)
        resuming ? audio_->resume(timeline_.position(now())) : audio_->play(timeline_.position(now()));
    const quint64 generation = ++generation_;
    progressTimer_.start();
    update();
    raiseEvent(event::Play);
    if (generation == generation_)
        raiseProgress(PlaybackState::Playing, timeline_.position(now()));
}

void Vizmo4::pausePlayback()
{
    if (timeline_.state() != PlaybackState::Playing)
        return;
    scriptPosition();  // takes the sound's position before it freezes
    timeline_.pause(now());
    if (audio_)
        audio_->pause();
    progressTimer_.stop();
    ++generation_;
    update();  // the bar's button turns from pause to play
    raiseEvent(event::Pause);
}

void Vizmo4::stopPlayback()
{
    if (!script_)
        return;
    const bool moved = timeline_.state() != PlaybackState::Stopped || timeline_.position(now()) > 0;
    if (!moved)
        return;
    timeline_.stop();
    if (audio_)
        audio_->stop();
    progressTimer_.stop();
    const quint64 generation = ++generation_;
    update();
    raiseEvent(event::Stop);
    if (generation == generation_)
        raiseProgress(PlaybackState::Stopped, 0);
}

void Vizmo4::playbackTick()
{
    if (timeline_.state() != PlaybackState::Playing)
        return;
    const double position = scriptPosition();
    if (position >= timeline_.length()) {
        finishScript();
        return;
    }
    raiseProgress(PlaybackState::Playing, position);
}

double Vizmo4::scriptPosition()
{
    const double t = now();
    if (audio_) {
        if (const auto heard = audio_->positionMs())
            timeline_.followExternalClock(*heard, t);
    }
    return timeline_.position(t);
}

void Vizmo4::finishScript()
{
    const QString finished = scriptPath_;
    const int total = timeline_.length();
    timeline_.finish();
    if (audio_)
        audio_->stop();
    progressTimer_.stop();
    const quint64 generation = ++generation_;
    update();
    // The bar reaches its end before Eof, whose handler may load new content.
    raiseProgress(PlaybackState::Stopped, total);
    if (generation != generation_)
        return;
    Args args{Variant::string(finished)};
    raiseEvent(event::Eof, args);
}

void Vizmo4::raiseProgress(PlaybackState state, double positionMs)
{
    const int total = timeline_.length();
    if (total <= 0)
        return;
    const int current = std::clamp(int(std::lround(positionMs)), 0, total);
    Args args{Variant::i4(int(state)), Variant::i4(int(std::floor(current * fps_ / 1000.0))), Variant::i4(current),
              Variant::i4(total)};
    raiseEvent(event::Progress, args);
}

// ---- animation ----------------------------------------------------------------

void Vizmo4::setLifeMode(int mode)
{
    lifeMode_ = mode;
    life_.setMode(mode);
    // Still stops the frame timer's redraws, so the new mode shows now.
    update();
}

void Vizmo4::seekTo(double fraction)
{
    if (!script_)
        return;
    const double position = fraction * timeline_.length();
    timeline_.seek(position, now());
    if (audio_) {
        if (timeline_.state() == PlaybackState::Playing)
            audio_->play(position);
        else
            audio_->stop();  // Play starts the sound afresh at the new position
    }
    ++generation_;
    update();
    raiseProgress(timeline_.state(), position);
}

bool Vizmo4::animating() const
{
    return lifeMode_ > 0 || timeline_.state() == PlaybackState::Playing || speechActive_ ||
           now() - speechSwitchMs_ < kSpeechSwitchMs + 1000;
}

void Vizmo4::frameTick()
{
    // A still face with nothing playing is not redrawn: an idle player costs nothing.
    if (animating())
        update();
}

FacePose Vizmo4::currentPose()
{
    const double t = now();
    const ScriptFrame frame = script_ ? script_->sample(scriptPosition()) : ScriptFrame{};
    const LifeOffsets life = life_.at(t / 1000.0);
    FacePose pose;
    auto unit = [](double v, double scale) { return std::clamp(v / scale, -1.0, 1.0); };
    pose.headX = std::clamp(unit(frame.headX + headX_, kPoseUnits) + life.headX, -1.0, 1.0);
    pose.headY = std::clamp(unit(frame.headY + headY_, kPoseUnits) + life.headY, -1.0, 1.0);
    pose.headZ = std::clamp(unit(frame.headZ + headZ_, kPoseUnits) + life.headZ, -1.0, 1.0);
    const double eyeX = (eyeX_[0] + eyeX_[1]) / 2, eyeY = (eyeY_[0] + eyeY_[1]) / 2;
    pose.eyeX = std::clamp(unit(frame.eyeX, kPoseUnits) + unit(eyeX, kGazeUnits) + life.eyeX, -1.0, 1.0);
    pose.eyeY = std::clamp(unit(frame.eyeY, kPoseUnits) + unit(eyeY, kGazeUnits) + life.eyeY, -1.0, 1.0);
    pose.shoulderLeft = std::clamp(unit(frame.shoulderLeft + shoulderLeft_, kPoseUnits) + 0.25 * life.breath, -1.0, 1.0);
    pose.shoulderRight = std::clamp(unit(frame.shoulderRight + shoulderRight_, kPoseUnits) + 0.25 * life.breath, -1.0, 1.0);
    pose.breath = life.breath;

    const double scale = strengthMode_ == 1 ? strength_ / 255.0 : 1.0;
    const double relax = 1.0 - 0.8 * frame.expressions[std::size_t(Expression::Neutral)];
    for (int e = 0; e < kExpressionCount; ++e) {
        const auto i = std::size_t(e);
        const bool isBlink = e == int(Expression::Blink);
        pose.expressions[i] = std::clamp(frame.expressions[i] * (isBlink ? 1.0 : scale * relax), 0.0, 1.0);
    }
    pose.blink = life.blink;

    // The speech mouth takes over from the script's mouth, eased both ways.
    const MouthShape scriptMouth = frame.hasMouth ? frame.mouth : visemeShape(viseme::Silence);
    const double switchPart = smoothStep((t - speechSwitchMs_) / kSpeechSwitchMs);
    const double speechPart = speechActive_ ? switchPart : 1.0 - switchPart;
    pose.mouth = lerp(scriptMouth, speechMouth_.at(t), speechPart);
    if (speechActive_) {
        // An attentive look while speaking: brows up a touch.
        auto& surprise = pose.expressions[std::size_t(Expression::Surprise)];
        surprise = std::max(surprise, 0.12 * speechPart);
    }
    return pose;
}

void Vizmo4::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = rect();
    backdrop_.paint(painter, area, BackMode(backMode_), dispatch::toQColor(backColor_), backImage_);
    drawFace(painter, area, model_, currentPose());
    if (controStyle_ == 1) {
        const double total = std::max(1, timeline_.length());
        paintControlBar(painter, controlBarLayout(area), timeline_.state(), timeline_.position(now()) / total);
    }
    if (borderStyle_ == 1) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ---- mouse and menu -------------------------------------------------------------

void Vizmo4::raiseMouse(int position, QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Args args{Variant::i2(std::int16_t(mouseButton(event->button()))),
              Variant::i2(std::int16_t(shiftState(event->modifiers()))), Variant::i4(at.x()), Variant::i4(at.y())};
    raiseEvent(position, args);
}

void Vizmo4::mousePressEvent(QMouseEvent* event)
{
    if (controStyle_ == 1 && event->button() == Qt::LeftButton) {
        const ControlBarLayout bar = controlBarLayout(rect());
        switch (hitControlBar(bar, event->position())) {
        case ControlBarHit::PlayPause:
            timeline_.state() == PlaybackState::Playing ? pausePlayback() : startPlayback();
            return;
        case ControlBarHit::Stop: stopPlayback(); return;
        case ControlBarHit::Track:
            seeking_ = true;
            seekTo(trackFraction(bar, event->position()));
            return;
        case ControlBarHit::Bar: return;
        case ControlBarHit::None: break;
        }
    }
    pressedButtons_ |= event->button();
    if (event->button() == Qt::LeftButton)
        clickOnRelease_ = true;
    raiseMouse(event::MouseDown, event);
}

void Vizmo4::mouseMoveEvent(QMouseEvent* event)
{
    if (seeking_)
        seekTo(trackFraction(controlBarLayout(rect()), event->position()));
}

void Vizmo4::mouseReleaseEvent(QMouseEvent* event)
{
    if (seeking_ && event->button() == Qt::LeftButton) {
        seeking_ = false;
        return;
    }
    if (!(pressedButtons_ & event->button()))
        return;
    pressedButtons_ &= ~event->button();
    raiseMouse(event::MouseUp, event);
    if (event->button() == Qt::LeftButton && std::exchange(clickOnRelease_, false) &&
        rect().contains(event->position().toPoint()))
        raiseEvent(event::Click);
    if (event->button() == Qt::RightButton && deferredMenuAt_) {
        const QPoint at = *deferredMenuAt_;
        deferredMenuAt_.reset();
        showMenu(at);
    }
}

// Qt sends press, release, double click, release; the double click stands in
// for the second press: MouseDown, DoubleClick, then MouseUp without a Click.
void Vizmo4::mouseDoubleClickEvent(QMouseEvent* event)
{
    const bool onBar = controStyle_ == 1 && hitControlBar(controlBarLayout(rect()), event->position()) != ControlBarHit::None;
    if (event->button() != Qt::LeftButton || onBar) {
        mousePressEvent(event);
        return;
    }
    pressedButtons_ |= Qt::LeftButton;
    clickOnRelease_ = false;
    raiseMouse(event::MouseDown, event);
    raiseEvent(event::DoubleClick);
}

// Qt may repeat Enter or Leave around popups and grabs; the host hears each
// crossing once.
void Vizmo4::enterEvent(QEnterEvent*)
{
    if (std::exchange(pointerInside_, true))
        return;
    raiseEvent(event::MouseEnter);
}

void Vizmo4::leaveEvent(QEvent*)
{
    if (!std::exchange(pointerInside_, false))
        return;
    raiseEvent(event::MouseLeave);
}

void Vizmo4::contextMenuEvent(QContextMenuEvent* event)
{
    if (menuStyle_ < 0)
        return;
    // On X11 this comes with the right press; the menu waits for the release.
    if (event->reason() == QContextMenuEvent::Mouse && (pressedButtons_ & Qt::RightButton)) {
        deferredMenuAt_ = event->globalPos();
        return;
    }
    showMenu(event->globalPos());
}

void Vizmo4::showMenu(QPoint globalPos)
{
    PlayerMenuInfo info;
    info.style = menuStyle_;
    info.state = timeline_.state();
    info.hasScript = bool(script_);
    info.modelName = modelPath_.isEmpty() ? QString() : model_.name + QStringLiteral(" (") +
                                                              QFileInfo(modelPath_).fileName() + u')';
    info.scriptName = script_ ? (script_->title.isEmpty() ? script_->fileName
                                                          : script_->title + QStringLiteral(" (") + script_->fileName + u')')
                              : QString();
    info.lifeMode = lifeMode_;
    QMenu menu(this);
    fillPlayerMenu(menu, info,
                   {[this] { startPlayback(); }, [this] { pausePlayback(); }, [this] { stopPlayback(); },
                    [this](int mode) { setLifeMode(mode); }});
    menu.exec(globalPos);
}

}  // namespace vizmo::player
