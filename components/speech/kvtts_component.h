#pragma once
// The SpeechComponent: speaks its Text through one of two engines, shows the
// text with the spoken word highlighted, and moves an attached player's mouth.
// See docs/speech-component.md for its behaviour, mappings and events.

#include "components/dispatch/object.h"
#include "components/speech/engine_thread.h"
#include "components/speech/speaker.h"
#include "components/speech_component.h"

#include <QPointer>
#include <QWidget>

namespace vizmo::speech {

class KVTTSComponent : public QWidget, public dispatch::Object {
    Q_OBJECT
public:
    explicit KVTTSComponent(QWidget* parent = nullptr);
    ~KVTTSComponent() override;

    QSize sizeHint() const override { return {256, 25}; }
    // The speaking machinery, for benchmarks and tests that listen to the sound.
    Speaker& speaker() { return speaker_; }
    // The word the strip highlights, as (start, length); start -1 for none.
    std::pair<int, int> highlightedWord() const { return {wordStart_, wordLength_}; }

protected:
    dispatch::Result doPut(dispatch::DispId id, const dispatch::Variant& value) override;
    dispatch::Result doGet(dispatch::DispId id, const dispatch::Args& args) override;
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override;
    void paintEvent(QPaintEvent* event) override;

private:
    EngineKind engine() const;
    const EngineInfo& engineInfo() const;
    dispatch::Result attachPlayer(dispatch::Object* player);
    void play();
    void pause();
    void stop();
    void onWord(int start, int length, int stress);
    void onViseme(const VisemeCue& cue);
    void onFinished();
    void setSpeechActive(bool active);
    void clearHighlight();
    dispatch::Object* player() const;

    QString interface_ = kInterfaceEspeak;
    QString text_;
    std::uint32_t backColor_ = 0x8000000Fu;  // button face
    std::uint32_t foreColor_ = 0x80000012u;  // button text
    int pitch_ = 50;
    int speed_ = 50;
    int volume_ = 100;
    int voiceIndex_ = 0;

    dispatch::Object* player_ = nullptr;
    QPointer<QObject> playerGuard_;  // set when the player is also a QObject: tells us it is gone
    bool playerIsQObject_ = false;

    Speaker speaker_;
    QString spokenText_;  // the text of the current Play, as the strip shows it
    int wordStart_ = -1;
    int wordLength_ = 0;
};

}  // namespace vizmo::speech
