#include "platform/face_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace vizmo::platform {

FaceButton::FaceButton(QWidget* parent) : QPushButton(parent) {}

void FaceButton::setFaceShown(bool shown)
{
    faceShown_ = shown;
    update();
}

void FaceButton::setFaceColor(const QColor& color)
{
    faceColor_ = color;
    update();
}

void FaceButton::paintEvent(QPaintEvent* event)
{
    if (!faceShown_ || !faceColor_.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette.setColor(QPalette::Button, faceColor_);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    // Styles with gradients tint the bevel only slightly; the face itself is the swatch.
    const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.fillRect(face, faceColor_);
    if (!option.text.isEmpty()) {
        option.palette.setColor(QPalette::ButtonText,
                                faceColor_.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black));
        painter.drawControl(QStyle::CE_PushButtonLabel, option);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = face;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace vizmo::platform
