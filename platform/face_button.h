#pragma once
// A push button that can paint its face in one colour (the graphical button
// style): the style draws the bevel and the caption, the colour fills between.

#include <QColor>
#include <QPushButton>

namespace vizmo::platform {

class FaceButton : public QPushButton {
public:
    explicit FaceButton(QWidget* parent);

    bool faceShown() const { return faceShown_; }
    void setFaceShown(bool shown);
    QColor faceColor() const { return faceColor_; }
    void setFaceColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool faceShown_ = false;
    QColor faceColor_;
};

}  // namespace vizmo::platform
