#pragma once
// A spoken passage as the player sees it: a viseme every phone, as the speech
// component sends them, while the head nods and drifts and the eyes jump about
// as the player's own life moves them while it speaks (posed by the host, so
// that every build sees the same motion), and the lids blink once. It reaches the player through
// the control's dispatch members and its clock only, so the same passage
// plays on any build of the player that has them (player_bench measures
// another commit's renderer with it; see build_reference.sh).

#include "components/player/vizmo4.h"

namespace vizmo::bench {

class SpeakingPassage {
public:
    static constexpr double kSeconds = 3.0;

    // Readies `player`, whose model is loaded: speech on, life only
    // blinking, the head and eyes posed by the passage, the clock at 0.
    explicit SpeakingPassage(player::Vizmo4& player);

    // Moves the clock to `ms` into the passage (0..kSeconds * 1000, never
    // backwards), sending the visemes due by then and the head's and eyes'
    // pose of that moment.
    void at(double ms);

    // How many blinks start within the passage, on a player readied as above
    // (the clock driven through the whole passage, nothing drawn).
    static int blinks(player::Vizmo4& player);

private:
    player::Vizmo4& player_;
    double nowMs_ = 0;
    std::size_t nextPhone_ = 0;
    double nextPhoneMs_ = 0;
};

// Feeds the passage's visemes to `player` on its own (real) clock, over and
// over, as the speech component would while the program speaks: the head
// and eyes are left to the player's life.
class LiveSpeech {
public:
    explicit LiveSpeech(player::Vizmo4& player);
    // Sends what is due at `ms` since the speech started.
    void at(double ms);

private:
    player::Vizmo4& player_;
    std::size_t nextPhone_ = 0;
    double nextPhoneMs_ = 0;
};

}  // namespace vizmo::bench
