#include "shapedwindow.h"

#include "compositor.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>

namespace hiragana {

// The window manager is bypassed as well: a managed window sits in a frame of the manager's,
// and the frame (openbox's, for one) takes the clicks that the window itself lets through.
ShapedWindow::ShapedWindow(const QString &name)
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                  | Qt::WindowTransparentForInput | Qt::NoDropShadowWindowHint | Qt::BypassWindowManagerHint)
{
    setObjectName(name);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its keyboard window alone
    setFocusPolicy(Qt::NoFocus);
}

void ShapedWindow::SetImage(const QImage &image)
{
    m_image = image;
    const QSize size = (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
    if (this->size() != size)
        setFixedSize(size);
    UpdateShape();
    update();
}

void ShapedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), m_image);
}

void ShapedWindow::showEvent(QShowEvent *event)
{
    m_composited = CompositorRuns(); // a compositor may have come or gone while the window was hidden
    UpdateShape();
    QWidget::showEvent(event);
}

void ShapedWindow::UpdateShape()
{
    if (m_image.isNull() || m_composited) {
        clearMask();
        return;
    }
    const QImage logical = m_image.devicePixelRatio() == 1.0 ? m_image : m_image.scaled(size());
    QRegion shape(QBitmap::fromImage(logical.createAlphaMask(Qt::ThresholdAlphaDither)));
    if (shape.isEmpty())
        shape = QRegion(0, 0, 1, 1); // an empty mask would mean no shape at all
    setMask(shape);
}

} // namespace hiragana
