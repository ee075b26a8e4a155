#pragma once

#include "characterdata.h"
#include "shapedwindow.h"

#include <QTimer>
#include <QVariantAnimation>

#include <functional>

namespace hiragana {

// The character's figure: it rises into view from the bottom of its box, sinks out of view
// again, and opens and shuts its mouth while it talks.
class FigureWindow : public ShapedWindow {
public:
    using Done = std::function<void()>;

    explicit FigureWindow(const CharacterData &data);
    ~FigureWindow() override;

    void Appear(Done done);
    void Disappear(Done done);
    void SetTalking(bool talking);

private:
    void Slide(qreal toReveal, Done done);
    void SlideFinished();
    void Redraw();
    QImage RenderFrame(const QByteArray &svg) const;

    QSize m_size;
    QImage m_restFrame;
    QImage m_talkFrame;
    QVariantAnimation m_slide;
    Done m_slideDone;
    QTimer m_mouth;
    qreal m_reveal = 0; // how far the figure has risen into view, 0 to 1
    bool m_mouthOpen = false;
};

} // namespace hiragana
