#pragma once
// A one-line output field: flat, without border, not typed into and not
// reached by Tab; its colours are given as 0x00BBGGRR values or system colours.

#include "platform/control.h"

#include <cstdint>

class QLineEdit;

namespace vizmo::platform {

class DisplayField : public Control {
public:
    DisplayField(QWidget* parent, ErrorReporter& reporter);

    QString text() const;
    void setText(const QString& text);

    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t oleColor);
    std::uint32_t foreColor() const { return foreColor_; }
    void setForeColor(std::uint32_t oleColor);

private:
    QLineEdit* field() const;
    void applyColors();

    std::uint32_t backColor_;
    std::uint32_t foreColor_;
};

}  // namespace vizmo::platform
