#pragma once

#include <QImage>
#include <QWidget>

namespace hiragana {

// A small top-level window that shows an image with transparent parts, floats above the other
// windows and never takes the focus or the mouse: clicks go through to whatever lies beneath.
// Transparent where a compositor runs; cut to the image's shape where none does.
class ShapedWindow : public QWidget {
public:
    explicit ShapedWindow(const QString &name);

    // Shows image (drawn at the window's device pixel ratio) and sizes the window to it.
    void SetImage(const QImage &image);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void UpdateShape();

    QImage m_image;
    bool m_composited = false;
};

} // namespace hiragana
