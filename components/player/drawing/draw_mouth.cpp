#include "components/player/drawing/draw_mouth.h"

#include "components/player/drawing/face_shapes.h"

#include <QLinearGradient>

#include <algorithm>

namespace vizmo::player {

void drawMouth(const FaceScene& s)
{
    PixelPainter& p = s.p;
    const FaceModel& m = s.m;
    const MouthShape& shape = s.pose.mouth;
    const double smile = s.layout.weights.smile;
    const double sad = s.layout.weights.sad;
    const double angry = s.layout.weights.angry;
    const double surprise = s.layout.weights.surprise;

    const double rest = 0.11 + 0.05 * m.mouthWidth;
    const double w = rest * (1.0 + 0.22 * shape.width + 0.18 * smile - 0.15 * surprise) * (1.0 - 0.35 * shape.round);
    const double open = s.layout.mouthOpen;
    const double gap = 0.005 + 0.16 * open;                 // lips apart at the centre
    const double cornerY = -0.045 * smile + 0.035 * sad + 0.012 * angry;
    const double lip = 0.016 + 0.018 * m.lipFullness;
    const double upperThick = lip * (1.0 + 0.3 * shape.round - 0.4 * shape.press);
    const double lowerThick = lip * (1.25 + 0.3 * shape.round) * (1.0 - 0.5 * shape.lipBite);
    const double innerTop = -gap * 0.3;
    const double innerBottom = gap * 0.7 - 0.025 * shape.lipBite;

    p.save();
    p.setTransform(s.layout.mouthFrame, true);
    p.setPen(Qt::NoPen);

    // The opening between the lips, with teeth and tongue inside it.
    QPainterPath cavity;
    cavity.moveTo(-w, cornerY);
    cavity.cubicTo(QPointF(-w * 0.5, innerTop * 1.3), QPointF(w * 0.5, innerTop * 1.3), QPointF(w, cornerY));
    cavity.cubicTo(QPointF(w * 0.5, innerBottom * 1.35), QPointF(-w * 0.5, innerBottom * 1.35), QPointF(-w, cornerY));
    if (gap > 0.012) {
        p.setBrush(QColor(0x4a, 0x14, 0x18));
        p.drawPath(cavity);
        OpeningCutter inside(p, cavity);
        if (shape.tongue > 0.05 || open > 0.3) {
            p.setBrush(QColor(0xc8, 0x60, 0x68));
            const double tongueY = innerBottom - gap * (0.15 + 0.35 * shape.tongue);
            inside.drawEllipse(QPointF(0, tongueY + gap * 0.4), w * 0.55, gap * 0.45);
        }
        if (shape.teeth > 0.02) {
            p.setBrush(QColor(0xf4, 0xf2, 0xea));
            const double teethHeight = gap * (0.2 + 0.35 * shape.teeth);
            inside.drawRect(QRectF(-w * 0.75, innerTop * 1.3 - 0.01, w * 1.5, teethHeight + 0.01));
        }
        if (open > 0.25) {
            // The lower teeth come into view as the jaw drops.
            p.setBrush(QColor(0xe8, 0xe4, 0xda));
            const double lowerTeeth = gap * 0.16 * std::min(1.0, (open - 0.25) / 0.4);
            inside.drawRect(QRectF(-w * 0.6, innerBottom - lowerTeeth, w * 1.2, lowerTeeth + 0.02));
        }
    }

    const QColor lipShade = shade(m.lipColor, 85);
    // Upper lip: a cupid's bow on top, the opening's upper edge below.
    QPainterPath upperLip;
    upperLip.moveTo(-w, cornerY);
    upperLip.cubicTo(QPointF(-w * 0.6, innerTop - upperThick * 0.9), QPointF(-w * 0.25, innerTop - upperThick * 1.3),
                     QPointF(0, innerTop - upperThick * 0.95));
    upperLip.cubicTo(QPointF(w * 0.25, innerTop - upperThick * 1.3), QPointF(w * 0.6, innerTop - upperThick * 0.9),
                     QPointF(w, cornerY));
    upperLip.cubicTo(QPointF(w * 0.5, innerTop * 1.3), QPointF(-w * 0.5, innerTop * 1.3), QPointF(-w, cornerY));
    p.setBrush(lipShade);
    p.drawPath(upperLip);

    QPainterPath lowerLip;
    lowerLip.moveTo(-w, cornerY);
    lowerLip.cubicTo(QPointF(-w * 0.5, innerBottom * 1.35), QPointF(w * 0.5, innerBottom * 1.35), QPointF(w, cornerY));
    lowerLip.cubicTo(QPointF(w * 0.55, innerBottom + lowerThick * 1.6), QPointF(-w * 0.55, innerBottom + lowerThick * 1.6),
                     QPointF(-w, cornerY));
    QLinearGradient lowerShade(0, innerBottom, 0, innerBottom + lowerThick * 1.4);
    lowerShade.setColorAt(0, m.lipColor);
    lowerShade.setColorAt(0.5, shade(m.lipColor, 112));
    lowerShade.setColorAt(1, lipShade);
    p.setBrush(lowerShade);
    p.drawPath(lowerLip);
    if (shape.lipBite > 0.3) {
        // The upper teeth rest on the lower lip for F and V.
        p.setBrush(QColor(0xf4, 0xf2, 0xea));
        p.drawRect(QRectF(-w * 0.45, innerTop, w * 0.9, lowerThick * 0.5 * shape.lipBite));
    }
    // The line where the lips meet, darker at the corners.
    p.setPen(QPen(shade(m.lipColor, 55), 0.006, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (gap <= 0.012) {
        QPainterPath seam;
        seam.moveTo(-w, cornerY);
        seam.cubicTo(QPointF(-w * 0.5, innerTop * 0.4), QPointF(w * 0.5, innerTop * 0.4), QPointF(w, cornerY));
        p.drawPath(seam);
    }
    p.drawPoint(QPointF(-w, cornerY));
    p.drawPoint(QPointF(w, cornerY));

    if (m.beardStyle == BeardStyle::Moustache || m.beardStyle == BeardStyle::Full) {
        p.setPen(Qt::NoPen);
        p.setBrush(m.hairColor);
        QPainterPath moustache;
        moustache.moveTo(-w * 1.15, cornerY + 0.01);
        moustache.cubicTo(QPointF(-w * 0.8, innerTop - upperThick * 3.2), QPointF(w * 0.8, innerTop - upperThick * 3.2),
                          QPointF(w * 1.15, cornerY + 0.01));
        moustache.cubicTo(QPointF(w * 0.6, innerTop - upperThick * 1.3), QPointF(-w * 0.6, innerTop - upperThick * 1.3),
                          QPointF(-w * 1.15, cornerY + 0.01));
        p.drawPath(moustache);
    }
    p.restore();
}

}  // namespace vizmo::player
