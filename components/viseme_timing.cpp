#include "components/viseme_timing.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::viseme_timing {

int leadMs(int from, int to, int heldMs)
{
    namespace v = player::viseme;
    const int lead = from == v::PP ? kReleaseLeadMs : (to == v::PP || to == v::FF) ? kLipContactLeadMs : kLeadMs;
    return std::min(lead, heldMs / 2) + kPresentationMs;
}

int settleMs(int viseme, int holdMs)
{
    namespace v = player::viseme;
    if (viseme == v::PP || viseme == v::FF)
        return kLipContactSettleMs;
    if (viseme == v::Silence)
        return std::clamp(holdMs, kMaxSettleMs, kRestSettleMs);
    // A short shape is passed through quickly rather than left half made.
    return std::clamp(holdMs * 3 / 5, kMinSettleMs, kMaxSettleMs);
}

}  // namespace vizmo::viseme_timing
