#pragma once
// The program's one window: a fixed-size top-level widget with a title bar and
// a close box only. Its outer Width is given in twips, frame included; the
// client area (the parent of the window's controls) grows and shrinks on the
// right, so nothing inside it moves.

#include "platform/twips.h"

#include <QIcon>
#include <QString>
#include <QWidget>

#include <memory>

namespace vizmo::platform {

class Screen;

class Window {
public:
    // The fixed dialog frame on each side of the client area.
    static constexpr int kFramePixels = 3;

    Window(const Screen& screen, int clientWidthTwips, int clientHeightTwips);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The client area: the parent of the controls placed on the window.
    QWidget* widget() const { return widget_.get(); }
    TwipsScale scale() const { return scale_; }

    QString caption() const;
    void setCaption(const QString& caption);
    void setIcon(const QIcon& icon);

    // The outer width in twips: client pixels = round(twips / TwipsPerPixelX) - 6.
    float widthTwips() const;
    void setWidthTwips(float outerWidthTwips);
    int clientWidthPixels() const;
    int clientHeightPixels() const;

    // Centres the window, frame included, on the primary screen's available
    // area; called before show, it centres again once the frame is known.
    void centreOnPrimaryScreen();
    void show();

private:
    const Screen& screen_;
    TwipsScale scale_;
    std::unique_ptr<QWidget> widget_;
};

}  // namespace vizmo::platform
