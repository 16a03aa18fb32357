#pragma once
// Helpers the player's tests share: an event recorder, a steppable clock and
// files written into a temporary folder.

#include "components/dispatch/object.h"
#include "components/player/vizmo4.h"
#include "components/player_control.h"

#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace vizmo::player::testing {

// The largest difference of a colour channel (or alpha) between two
// pictures of the same size, in levels: 0 for the same picture.
inline int largestChannelDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    if (x.size() != y.size())
        return 255;
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            largest = std::max({largest, std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                                std::abs(qBlue(p[col]) - qBlue(q[col])), std::abs(qAlpha(p[col]) - qAlpha(q[col]))});
    }
    return largest;
}

// The largest difference of a colour channel (or alpha) between two
// pictures of the same size, each first averaged over every pixel's 3 x 3
// square: small where one is the other with its edges (thin lines too)
// moved by a fraction of a pixel, as when a part is drawn from measures
// rounded to a quarter of a pixel; a part moved a pixel or more, or changed
// in shape, shows as a good part of its edges' contrast.
inline int blurredDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    if (x.size() != y.size())
        return 255;
    const int w = x.width(), h = x.height();
    // Each channel's mean over the 3 x 3 square (what of it lies in the
    // picture), rows then columns.
    const auto blurred = [w, h](const QImage& image) {
        std::vector<double> across(std::size_t(w) * std::size_t(h) * 4), out(across.size());
        for (int row = 0; row < h; ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
            for (int col = 0; col < w; ++col) {
                for (int c = 0; c < 4; ++c) {
                    int sum = 0, n = 0;
                    for (int dx = std::max(0, col - 1); dx <= std::min(w - 1, col + 1); ++dx, ++n)
                        sum += int((line[dx] >> (8 * c)) & 0xff);
                    across[(std::size_t(row) * std::size_t(w) + std::size_t(col)) * 4 + std::size_t(c)] = double(sum) / n;
                }
            }
        }
        for (int row = 0; row < h; ++row) {
            for (std::size_t i = 0; i < std::size_t(w) * 4; ++i) {
                double sum = 0;
                int n = 0;
                for (int dy = std::max(0, row - 1); dy <= std::min(h - 1, row + 1); ++dy, ++n)
                    sum += across[std::size_t(dy) * std::size_t(w) * 4 + i];
                out[std::size_t(row) * std::size_t(w) * 4 + i] = sum / n;
            }
        }
        return out;
    };
    const std::vector<double> p = blurred(x), q = blurred(y);
    double largest = 0;
    for (std::size_t i = 0; i < p.size(); ++i)
        largest = std::max(largest, std::abs(p[i] - q[i]));
    return int(std::lround(largest));
}

struct RecordedEvent {
    int position;
    dispatch::Args args;
};

class EventRecorder : public dispatch::EventSink {
public:
    void handleEvent(dispatch::Object&, int position, dispatch::Args& args) override
    {
        events.push_back({position, args});
        if (onEvent)
            onEvent(position, args);
    }
    std::vector<int> positions() const
    {
        std::vector<int> out;
        for (const auto& e : events)
            out.push_back(e.position);
        return out;
    }
    int count(int position) const
    {
        int n = 0;
        for (const auto& e : events)
            n += e.position == position;
        return n;
    }
    std::vector<RecordedEvent> events;
    std::function<void(int, dispatch::Args&)> onEvent;
};

// The menu's entry with `text`, in it or in one of its submenus.
inline QAction* findAction(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = findAction(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

// A player on a clock the test moves by hand, with still life (no random blinks).
struct PlayerFixture {
    PlayerFixture()
    {
        player.setClock([this] { return nowMs; });
        player.setEventSink(&recorder);
        player.put(id::LifeMode, dispatch::I2(0));
    }
    ~PlayerFixture() { player.setEventSink(nullptr); }

    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }
    // Moves the clock in playback steps, as the timer would.
    void run(double ms, double stepMs = 40)
    {
        for (double t = 0; t < ms; t += stepMs) {
            nowMs += stepMs;
            player.playbackTick();
        }
    }

    QTemporaryDir dir;
    double nowMs = 1000;
    EventRecorder recorder;
    Vizmo4 player;
};

}  // namespace vizmo::player::testing
