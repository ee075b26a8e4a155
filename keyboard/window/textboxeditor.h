#pragma once

#include "editor.h"

#include <QMetaObject>

#include <string>

class QPlainTextEdit;

namespace hiragana {

// The engine's Editor over the text box. The engine reads back exactly what it wrote, CR LF
// pairs and lone CRs included; text the user typed or pasted into the box reads with CR LF
// line breaks. The written text is kept, so a read costs nothing until the user changes the
// box, and a write that only extends or shortens the text touches only its end.
class TextBoxEditor : public Editor {
public:
    explicit TextBoxEditor(QPlainTextEdit &box);
    ~TextBoxEditor() override;
    TextBoxEditor(const TextBoxEditor &) = delete;
    TextBoxEditor &operator=(const TextBoxEditor &) = delete;

    std::u16string Text() const override;
    void SetText(const std::u16string &text) override;
    void SetFocus() override;
    void SetSelStart(std::size_t position) override;

private:
    void takeTextFromBox() const;
    void appendToBox(std::u16string_view tail);
    void cutBoxTo(std::size_t length);
    void replaceBoxText(const std::u16string &text);

    QPlainTextEdit &m_box;
    QMetaObject::Connection m_userChanges;
    // What the box holds, in the engine's form; stale while m_changedByUser is set.
    mutable std::u16string m_text;
    mutable bool m_changedByUser = false;
    bool m_writing = false;
};

} // namespace hiragana
