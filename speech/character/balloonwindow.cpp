#include "balloonwindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>

namespace hiragana {

namespace {
constexpr int TailLength = 14;
constexpr int TailHalfWidth = 8;
constexpr int TipFromTop = 24;
constexpr int Padding = 10;
constexpr int CornerRadius = 12;
constexpr qreal BorderWidth = 2;
// Far more than a balloon holds; the rest of a long text is not laid out at all.
constexpr int LongestLaidOutText = 1000;

// Line breaks of any kind, as the one separator text layout breaks at.
QString WithLineSeparators(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\r', QChar::LineSeparator);
    text.replace(u'\n', QChar::LineSeparator);
    return text;
}
} // namespace

BalloonWindow::BalloonWindow(const BalloonStyle &style)
    : ShapedWindow(QStringLiteral("CharacterBalloon"))
    , m_style(style)
{
    m_font.setPointSizeF(style.fontPointSize);
    m_font.setBold(true);
}

void BalloonWindow::ShowText(const QString &text, QPoint tip)
{
    SetImage(Draw(WrapLines(text)));
    QPoint topLeft = tip - QPoint(0, TipFromTop);
    if (const QScreen *screen = QGuiApplication::screenAt(tip)) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    }
    move(topLeft);
    show();
    raise();
}

QStringList BalloonWindow::WrapLines(const QString &text) const
{
    const QString laidOut = WithLineSeparators(text.left(LongestLaidOutText));
    QTextLayout layout(laidOut, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(m_style.maxWidth);
        lines << laidOut.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator);
    }
    layout.endLayout();
    if (lines.size() > m_style.maxLines) {
        lines = lines.mid(0, m_style.maxLines);
        lines.last() = QFontMetrics(m_font).elidedText(lines.last() + QChar(0x2026), Qt::ElideRight, m_style.maxWidth);
    }
    return lines;
}

QImage BalloonWindow::Draw(const QStringList &lines) const
{
    const QFontMetrics metrics(m_font);
    int textWidth = 0;
    for (const QString &line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int textHeight = int(lines.size()) * metrics.lineSpacing();
    const QSize size(TailLength + 2 * Padding + textWidth, std::max(2 * Padding + textHeight, 2 * TipFromTop));

    const qreal ratio = devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal inset = BorderWidth / 2;
    const QRectF box(TailLength, inset, size.width() - TailLength - inset, size.height() - 2 * inset);
    QPainterPath outline;
    outline.addRoundedRect(box, CornerRadius, CornerRadius);
    QPainterPath tail;
    tail.moveTo(inset, TipFromTop);
    tail.lineTo(TailLength + CornerRadius, TipFromTop - TailHalfWidth);
    tail.lineTo(TailLength + CornerRadius, TipFromTop + TailHalfWidth);
    tail.closeSubpath();
    painter.setPen(QPen(m_style.border, BorderWidth));
    painter.setBrush(m_style.background);
    painter.drawPath(outline.united(tail));

    painter.setFont(m_font);
    painter.setPen(m_style.text);
    int baseline = Padding + metrics.ascent();
    for (const QString &line : lines) {
        painter.drawText(TailLength + Padding, baseline, line);
        baseline += metrics.lineSpacing();
    }
    return image;
}

} // namespace hiragana
