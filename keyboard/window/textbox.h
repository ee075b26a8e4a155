#pragma once

#include <QPlainTextEdit>

namespace hiragana {

// The text box Text1: multi-line, wrapping at its right edge, a vertical scroll bar only, and
// Tab moving the focus on. Every line break that the user types or pastes becomes an ordinary
// paragraph break, so a line separator in the document always stands for a lone CR written by
// the keyboard itself.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace hiragana
