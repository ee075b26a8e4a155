#include "figurewindow.h"

#include <QPainter>
#include <QSvgRenderer>

#include <utility>

namespace hiragana {

namespace {
// The figure starts with its head showing, so the window never stands empty.
constexpr qreal LeastReveal = 0.2;
constexpr int SlideMilliseconds = 220;
constexpr int MouthMilliseconds = 140;
} // namespace

FigureWindow::FigureWindow(const CharacterData &data)
    : ShapedWindow(QStringLiteral("CharacterFigure"))
    , m_size(data.figureSize)
    , m_restFrame(RenderFrame(data.restFrame))
    , m_talkFrame(RenderFrame(data.talkFrame))
{
    m_slide.setDuration(SlideMilliseconds);
    m_slide.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_reveal = value.toReal();
        Redraw();
    });
    connect(&m_slide, &QVariantAnimation::finished, this, &FigureWindow::SlideFinished);
    m_mouth.setInterval(MouthMilliseconds);
    connect(&m_mouth, &QTimer::timeout, this, [this] {
        m_mouthOpen = !m_mouthOpen;
        Redraw();
    });
    Redraw();
}

FigureWindow::~FigureWindow() { m_slide.disconnect(this); }

void FigureWindow::Appear(Done done)
{
    if (isVisible()) {
        done();
        return;
    }
    m_reveal = LeastReveal;
    Redraw();
    show();
    raise(); // a window shown again keeps its old place in the stack, perhaps under the keyboard
    Slide(1.0, std::move(done));
}

void FigureWindow::Disappear(Done done)
{
    if (!isVisible()) {
        done();
        return;
    }
    Slide(LeastReveal, [this, done = std::move(done)] {
        hide();
        done();
    });
}

void FigureWindow::SetTalking(bool talking)
{
    if (talking) {
        m_mouth.start();
        return;
    }
    m_mouth.stop();
    m_mouthOpen = false;
    Redraw();
}

void FigureWindow::Slide(qreal toReveal, Done done)
{
    m_slideDone = std::move(done);
    m_slide.setStartValue(m_reveal);
    m_slide.setEndValue(toReveal);
    m_slide.start();
}

void FigureWindow::SlideFinished()
{
    if (Done done = std::exchange(m_slideDone, {}))
        done();
}

void FigureWindow::Redraw()
{
    const qreal ratio = devicePixelRatioF();
    QImage image(m_size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const qreal sunk = (1.0 - m_reveal) * m_size.height();
    painter.drawImage(QPointF(0, sunk), m_mouthOpen ? m_talkFrame : m_restFrame);
    painter.end();
    SetImage(image);
}

QImage FigureWindow::RenderFrame(const QByteArray &svg) const
{
    const qreal ratio = devicePixelRatioF();
    QImage frame(m_size * ratio, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(ratio);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    QSvgRenderer(svg).render(&painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
    return frame;
}

} // namespace hiragana
