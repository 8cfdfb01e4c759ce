#include "display/LedSign.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <string>

#include "display/SevenSegment.h"
#include "display/UpdateText.h"

namespace {

constexpr qreal SignAspect = 16.0 / 9.0;
const QColor LitRed(255, 38, 18);
const QColor HotCore(255, 214, 170);
const QColor DarkLed(46, 14, 12);
const QColor PrintedLabel(178, 182, 188);

QColor Mix(const QColor& from, const QColor& to, qreal share)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * share,
                            from.greenF() + (to.greenF() - from.greenF()) * share,
                            from.blueF() + (to.blueF() - from.blueF()) * share);
}

// How the LEDs are driven: the brightness code sets the share of full current, and the eye
// sees that share roughly as its square root, so that even the dimmest step reads as lit.
struct Drive {
    qreal current; // 1/8 to 1
    qreal seen() const { return std::pow(current, 0.45); }
    QColor lit() const { return Mix(DarkLed, LitRed, seen()); }
    QColor core() const { return Mix(DarkLed, HotCore, seen()); }
    QColor glow(qreal strength) const
    {
        QColor colour = LitRed;
        colour.setAlphaF(std::clamp(strength * current, 0.0, 1.0));
        return colour;
    }
};

void DrawLed(QPainter& painter, QPointF centre, qreal radius, bool lit, const Drive& drive)
{
    painter.setPen(Qt::NoPen);
    if (lit) {
        QRadialGradient halo(centre, radius * 2.6);
        halo.setColorAt(0, drive.glow(0.55));
        halo.setColorAt(1, drive.glow(0));
        painter.setBrush(halo);
        painter.drawEllipse(centre, radius * 2.6, radius * 2.6);
        QRadialGradient lens(centre - QPointF(radius, radius) * 0.25, radius);
        lens.setColorAt(0, drive.core());
        lens.setColorAt(0.55, drive.lit());
        lens.setColorAt(1, drive.lit().darker(170));
        painter.setBrush(lens);
    } else {
        QRadialGradient lens(centre - QPointF(radius, radius) * 0.35, radius);
        lens.setColorAt(0, DarkLed.lighter(150));
        lens.setColorAt(1, DarkLed.darker(200));
        painter.setBrush(lens);
    }
    painter.drawEllipse(centre, radius, radius);
}

// Large digits, each segment a row of single LEDs, as on wall signs.
void DrawDotDigits(QPainter& painter, const QRectF& area, const std::string& text, bool lit, const Drive& drive)
{
    const int count = static_cast<int>(text.size());
    const qreal spacing = 0.22;
    const qreal cellHeight = std::min(area.height(), area.width() / (count * 0.6 * (1 + spacing)));
    const qreal cellWidth = cellHeight * 0.6;
    const qreal totalWidth = count * cellWidth + (count - 1) * cellWidth * spacing;
    qreal x = area.center().x() - totalWidth / 2;
    const qreal y = area.center().y() - cellHeight / 2;
    for (const char character : text) {
        const QRectF cell(x, y, cellWidth, cellHeight);
        const std::uint8_t segments = SevenSegment::Segments(character);
        const auto dots = SevenSegment::SegmentDots(cell, 4);
        const qreal radius = SevenSegment::Thickness(cell) * 0.5;
        for (int segment = 0; segment < 7; ++segment) {
            for (int k = 0; k < 4; ++k)
                DrawLed(painter, dots[segment][k], radius, lit && (segments >> segment & 1), drive);
        }
        x += cellWidth * (1 + spacing);
    }
}

// Small solid-segment characters: digits, '-' and ':'.
void DrawSegmentText(QPainter& painter, const QRectF& area, const std::string& text, const Drive& drive)
{
    const qreal height = area.height();
    const qreal digitWidth = height * 0.6, colonWidth = height * 0.28, spacing = height * 0.1;
    qreal width = 0;
    for (const char character : text)
        width += (character == ':' ? colonWidth : digitWidth) + spacing;
    width -= spacing;
    const qreal scale = width > area.width() ? area.width() / width : 1.0;
    qreal x = area.center().x() - width * scale / 2;
    const qreal cellHeight = height * scale;
    const qreal y = area.center().y() - cellHeight / 2;
    for (const char character : text) {
        if (character == ':') {
            const qreal radius = cellHeight * 0.055;
            const qreal cx = x + colonWidth * scale / 2;
            DrawLed(painter, QPointF(cx, y + cellHeight * 0.33), radius, true, drive);
            DrawLed(painter, QPointF(cx, y + cellHeight * 0.72), radius, true, drive);
            x += (colonWidth + spacing) * scale;
            continue;
        }
        const QRectF cell(x, y, digitWidth * scale, cellHeight);
        const auto shapes = SevenSegment::SegmentShapes(cell);
        const std::uint8_t segments = SevenSegment::Segments(character);
        const qreal thickness = SevenSegment::Thickness(cell);
        for (int segment = 0; segment < 7; ++segment) {
            const bool on = segments >> segment & 1;
            if (on) {
                painter.setPen(QPen(drive.glow(0.35), thickness * 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.setBrush(drive.lit());
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(DarkLed);
            }
            painter.drawPolygon(shapes[segment]);
        }
        x += (digitWidth + spacing) * scale;
    }
}

void DrawLabel(QPainter& painter, const QRectF& area, const QString& text, Qt::Alignment alignment)
{
    QFont font = painter.font();
    font.setBold(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 112);
    font.setPixelSize(std::max(8, static_cast<int>(area.height() * 0.8)));
    painter.setFont(font);
    painter.setPen(PrintedLabel);
    painter.drawText(area, alignment, text);
}

void DrawBezel(QPainter& painter, const QRectF& sign)
{
    const qreal radius = sign.width() * 0.025;
    QLinearGradient metal(sign.topLeft(), sign.bottomLeft());
    metal.setColorAt(0, QColor(78, 82, 90));
    metal.setColorAt(0.5, QColor(42, 44, 49));
    metal.setColorAt(1, QColor(24, 25, 28));
    painter.setPen(QPen(QColor(12, 12, 14), 1.5));
    painter.setBrush(metal);
    painter.drawRoundedRect(sign, radius, radius);

    const qreal inset = sign.width() * 0.028;
    const QRectF face = sign.adjusted(inset, inset, -inset, -inset);
    QLinearGradient dark(face.topLeft(), face.bottomLeft());
    dark.setColorAt(0, QColor(20, 20, 22));
    dark.setColorAt(1, QColor(8, 8, 9));
    painter.setPen(QPen(QColor(0, 0, 0), 2));
    painter.setBrush(dark);
    painter.drawRoundedRect(face, radius * 0.4, radius * 0.4);

    // Mounting screws in the corners of the frame.
    const qreal screw = inset * 0.22;
    for (const QPointF corner : {sign.topLeft(), sign.topRight(), sign.bottomLeft(), sign.bottomRight()}) {
        const QPointF centre = corner
                             + QPointF(corner.x() < sign.center().x() ? inset / 2 : -inset / 2,
                                       corner.y() < sign.center().y() ? inset / 2 : -inset / 2);
        QRadialGradient head(centre - QPointF(screw, screw) * 0.3, screw);
        head.setColorAt(0, QColor(170, 172, 178));
        head.setColorAt(1, QColor(60, 62, 66));
        painter.setPen(Qt::NoPen);
        painter.setBrush(head);
        painter.drawEllipse(centre, screw, screw);
        painter.setPen(QPen(QColor(40, 40, 44), screw * 0.25));
        painter.drawLine(centre - QPointF(screw * 0.6, 0), centre + QPointF(screw * 0.6, 0));
    }
}

std::string CountText(std::uint16_t count)
{
    std::string text = std::to_string(count);
    // The sign has three digits; larger counts get the digits they need.
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), ' ');
    return text;
}

} // namespace

LedSign::LedSign(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void LedSign::setState(const SignState& state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

QSize LedSign::sizeHint() const
{
    return {720, 405};
}

QSize LedSign::minimumSizeHint() const
{
    return {320, 180};
}

void LedSign::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());

    QRectF sign = QRectF(rect()).adjusted(6, 6, -6, -6);
    if (sign.width() / sign.height() > SignAspect)
        sign.setWidth(sign.height() * SignAspect);
    else
        sign.setHeight(sign.width() / SignAspect);
    sign.moveCenter(QRectF(rect()).center());
    DrawBezel(painter, sign);

    const Drive drive{m_state.intensity};
    const qreal inset = sign.width() * 0.06;
    const QRectF face = sign.adjusted(inset, inset * 0.8, -inset, -inset * 0.8);

    // The count fills the upper two thirds; "DAYS" is printed beside it.
    const QRectF countArea(face.left(), face.top(), face.width() * 0.84, face.height() * 0.64);
    DrawDotDigits(painter, countArea, CountText(m_state.dayCount), m_state.digitsLit, drive);
    DrawLabel(
        painter,
        QRectF(countArea.right(), countArea.bottom() - face.height() * 0.1, face.width() * 0.16, face.height() * 0.07),
        tr("DAYS"), Qt::AlignLeft | Qt::AlignBottom);

    // The strip below: clock, direction, working window, brightness.
    const qreal stripTop = face.top() + face.height() * 0.72;
    painter.setPen(QPen(QColor(60, 62, 68), 1));
    painter.drawLine(QPointF(face.left(), stripTop - face.height() * 0.03),
                     QPointF(face.right(), stripTop - face.height() * 0.03));
    const qreal labelHeight = face.height() * 0.06;
    const qreal contentTop = stripTop + labelHeight * 1.5;
    const qreal contentHeight = face.bottom() - contentTop;
    qreal x = face.left();
    const auto column = [&](qreal share) {
        const QRectF area(x, stripTop, face.width() * share, face.bottom() - stripTop);
        x += area.width();
        return area;
    };

    const QRectF clockArea = column(0.32);
    DrawLabel(painter, QRectF(clockArea.left(), stripTop, clockArea.width(), labelHeight), tr("CLOCK"),
              Qt::AlignCenter);
    DrawSegmentText(painter, QRectF(clockArea.left(), contentTop, clockArea.width() * 0.92, contentHeight),
                    tallymark::ClockText(m_state.clock), drive);

    const QRectF directionArea = column(0.17);
    DrawLabel(painter, QRectF(directionArea.left(), stripTop, directionArea.width(), labelHeight), tr("COUNT"),
              Qt::AlignCenter);
    const qreal lamp = contentHeight * 0.13;
    const qreal rowHeight = contentHeight / 2;
    const QString arrows[2] = {tr("UP"), tr("DOWN")};
    for (int row = 0; row < 2; ++row) {
        const qreal centreY = contentTop + rowHeight * (row + 0.5);
        const QPointF lampCentre(directionArea.left() + directionArea.width() * 0.2, centreY);
        DrawLed(painter, lampCentre, lamp, m_state.countUp == (row == 0), drive);
        DrawLabel(
            painter,
            QRectF(lampCentre.x() + lamp * 2.2, centreY - labelHeight / 2, directionArea.width() * 0.7, labelHeight),
            arrows[row], Qt::AlignLeft | Qt::AlignVCenter);
    }

    const QRectF workArea = column(0.35);
    DrawLabel(painter, QRectF(workArea.left(), stripTop, workArea.width(), labelHeight), tr("WORKING TIME"),
              Qt::AlignCenter);
    const QPointF workLamp(workArea.left() + lamp * 1.6, contentTop + contentHeight / 2);
    DrawLed(painter, workLamp, lamp, m_state.work.on, drive);
    const std::string window
        = tallymark::display::MinuteText(m_state.work.start) + "-" + tallymark::display::MinuteText(m_state.work.end);
    DrawSegmentText(painter,
                    QRectF(workLamp.x() + lamp * 2, contentTop + contentHeight * 0.15,
                           workArea.right() - workLamp.x() - lamp * 2.5, contentHeight * 0.7),
                    window, drive);

    const QRectF brightArea = column(0.16);
    DrawLabel(painter, QRectF(brightArea.left(), stripTop, brightArea.width(), labelHeight), tr("BRIGHT"),
              Qt::AlignCenter);
    const int level = static_cast<int>(std::lround(m_state.intensity * 8)); // a bar for each eighth
    const qreal barWidth = brightArea.width() * 0.7 / 8;
    for (int step = 0; step < 8; ++step) {
        const qreal barHeight = contentHeight * (0.25 + 0.06 * step);
        const QRectF bar(brightArea.left() + brightArea.width() * 0.15 + step * barWidth,
                         contentTop + contentHeight * 0.8 - barHeight, barWidth * 0.7, barHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(step < level ? drive.lit() : DarkLed);
        painter.drawRect(bar);
    }
}
