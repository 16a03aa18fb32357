#pragma once
// The PlayerControl: an animated talking head that shows a face model (.qvm),
// plays animation scripts (.qvs) and speaks with the SpeechComponent's mouth
// input. Its host reaches it only through the dispatch table of
// components/player_control.h; events go back through raiseEvent.

#include "components/dispatch/object.h"
#include "components/player/content/face_model.h"
#include "components/player/content/script.h"
#include "components/player/drawing/backdrop.h"
#include "components/player/drawing/figure_renderer.h"
#include "components/player/drawing/frame_gate.h"
#include "components/player/listening/sound_listener.h"
#include "components/player/motion/face_pose.h"
#include "components/player/motion/life_motion.h"
#include "components/player/motion/mouth_easer.h"
#include "components/player/motion/pose_composer.h"
#include "components/player/playback_timeline.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vizmo::player {

class ScriptAudio;

class Vizmo4 : public QWidget, public dispatch::Object {
    Q_OBJECT
public:
    explicit Vizmo4(QWidget* parent = nullptr);
    ~Vizmo4() override;

    // The pose of the frame that would be drawn now.
    FacePose currentPose();
    PlaybackState playbackState() const { return timeline_.state(); }
    int framesPerSecond() const { return fps_; }
    // How many frames were painted on one of Qt's pool threads
    // (one_thread_painting.h), for tests.
    int framesPaintedOnOneThread() const { return framesOnOneThread_; }

    // Replaces the monotonic clock (milliseconds), so tests can step time.
    void setClock(std::function<double()> clock);
    // Replaces the seed of life's random motions, which differs from run to run.
    void setLifeSeed(quint32 seed) { life_.reseed(seed); }
    // Runs one playback step now (the timer does this every 40 ms).
    void playbackTick();
    // Runs on the loading thread before each model, script or image is read:
    // tests hold a load there to see what happens while it waits.
    void setLoadGate(std::function<void()> gate) { loadGate_ = std::move(gate); }
    // Replaces the system's sound inputs the player listens through (before
    // it first lists or listens to them), so tests can play into it.
    void setSoundInputs(SoundListener::MakeInputs make);
protected:
    dispatch::Result doPut(dispatch::DispId id, const dispatch::Variant& value) override;
    dispatch::Result doGet(dispatch::DispId id, const dispatch::Args& args) override;
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Dispatch (vizmo4.cpp).
    dispatch::Result setRanged(dispatch::DispId id, int value);
    dispatch::Result refuse(const QString& what) const;

    // Content (player_content.cpp).
    dispatch::Result setModelName(const QString& path);
    dispatch::Result setScriptName(const QString& path);
    dispatch::Result setBackImage(const QString& path);

    // Playback (player_playback.cpp).
    void startPlayback();
    void pausePlayback();
    void stopPlayback();
    void finishScript();
    void raiseProgress(PlaybackState state, double positionMs);
    // The script's position now, following its sound while the sound plays.
    double scriptPosition();
    // Moves the script to a point of the control bar's track.
    void seekTo(double fraction);

    // Mouse and menu (player_mouse.cpp).
    void raiseMouse(int position, QMouseEvent* event);
    void showMenu(QPoint globalPos);

    // Speech input and listening (player_listening.cpp).
    void setSpeechActive(bool active);
    dispatch::Result listenTo(const QString& input);
    QString listenInputs();
    // Whether the speech mouth, not the script's, shows: while speech is
    // active, or while the player listens to an input.
    bool speechMouthShown() const { return speechActive_ || listener_->listening(); }
    // Call with what speechMouthShown() was before a change of either.
    void speechMouthChanged(bool wasShown);
    // Moves the speech mouth to what was heard since the last frame, from
    // when it was heard.
    void followHeard(double nowMs);
    // Whether the mouth shows what the player hears now.
    bool listenedMouthShown() const { return listener_->listening() && !speechActive_; }
    // A frame's worth of heard sound came: drawn now if the mouth moved
    // (the listener wakes the player at most once a frame's interval).
    void heardTick();
    // The interval at which the listener may wake the player, a little
    // under the frame timer's so that the wake comes first.
    std::chrono::steady_clock::duration listenedFrameInterval() const;

    // Animation (vizmo4.cpp).
    bool animating() const;
    void frameTick();
    // Asks for a frame when the face moved enough to show.
    void drawIfMoved();
    // True while the host steers the eyes (tracking, the sliders): life then
    // keeps them on target.
    bool gazeHeld() const;
    // The frame's moving measures, for the frame gate.
    FrameMeasures measuresOf(const FacePose& pose) const;
    void paintFrame(QPainter& painter, const FacePose& pose, const QColor& backColor, const QColor& borderColor);
    double now() const { return clock_(); }
    void setLifeMode(int mode);
    // Called when the backdrop's mode, colour or image changed.
    void backdropChanged();

    // Properties.
    int controStyle_ = 0;
    int autoPlay_ = 1;
    int menuStyle_ = 1;
    int lifeMode_ = 3;
    int strengthMode_ = 0;
    int backMode_ = 0;
    int strength_ = 255;
    std::uint32_t backColor_ = 0x00404040;
    int borderStyle_ = 0;
    QString modelPath_;
    QString scriptPath_;
    QString backImagePath_;

    HostPosing posing_;
    double eyesSetMs_ = -1e9;  // when SetEye was last called
    int fps_ = 30;

    // Speech input.
    bool speechActive_ = false;
    MouthEaser speechMouth_;
    double speechSwitchMs_ = -1e9;  // when the speech mouth was last shown or hidden, to ease between mouths

    // Listening.
    std::unique_ptr<SoundListener> listener_ = std::make_unique<SoundListener>(&SoundListener::systemInputs);
    double heardMs_ = -1e9;        // the time the mouth last followed a heard frame from
    double lastHeardAtMs_ = -1e9;  // when the last frame was taken, to rest when none come
    int heardViseme_ = 0;          // the last heard frame's viseme, for the gestures
    bool heardResting_ = true;
    std::chrono::steady_clock::time_point drawnAt_;  // when the last frame was painted

    FaceModel model_;
    std::shared_ptr<const Script> script_;
    // What the script's events (Play to Eof, Progress) belong to: one held
    // while a call waits is dropped if a put has replaced the script since.
    dispatch::Content scriptContent_;
    std::unique_ptr<ScriptAudio> audio_;
    PlaybackTimeline timeline_;
    LifeMotion life_;
    QImage backImage_;
    BackdropCache backdrop_;
    // What draws model_, made afresh at the first frame of each model.
    std::unique_ptr<FigureRenderer> figure_;
    int figureGeneration_ = -1;
    FrameGate frameGate_;
    int framesOnOneThread_ = 0;
    int modelGeneration_ = 0;
    std::function<void()> loadGate_;

    // Bumped by every change of script or playback state, so a step that
    // raised an event can tell whether the host changed things meanwhile.
    quint64 generation_ = 0;
    // Buttons whose MouseDown was raised and whose MouseUp is still owed.
    Qt::MouseButtons pressedButtons_;
    // The left press may end in a Click; the second press of a double click does not.
    bool clickOnRelease_ = false;
    // A menu asked for while the right button is down opens once it is
    // released, after MouseUp: the menu would take the release otherwise.
    std::optional<QPoint> deferredMenuAt_;
    bool seeking_ = false;
    bool pointerInside_ = false;

    QElapsedTimer monotonic_;
    std::function<double()> clock_;
    QTimer frameTimer_;
    QTimer progressTimer_;
};

}  // namespace vizmo::player
