#pragma once
// A push button. In the graphical style its face shows its BackColor, which
// makes a captionless button a colour swatch.

#include "platform/control.h"

#include <cstdint>

namespace vizmo::platform {

class FaceButton;

class CommandButton : public Control {
public:
    CommandButton(QWidget* parent, ErrorReporter& reporter);

    QString caption() const;
    void setCaption(const QString& caption);

    bool graphical() const;
    void setGraphical(bool graphical);

    // 0x00BBGGRR, or a system colour reference (top bit set); button face at first.
    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t oleColor);

    void onClick(std::function<void()> handler) { clickHandler_ = std::move(handler); }
    // The road of a user's click: for tests and keyboard-less callers.
    void click();

private:
    FaceButton* button() const;

    std::uint32_t backColor_;
    std::function<void()> clickHandler_;
};

}  // namespace vizmo::platform
