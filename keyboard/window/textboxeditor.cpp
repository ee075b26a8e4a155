#include "textboxeditor.h"

#include "linebreaks.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>

namespace hiragana {

TextBoxEditor::TextBoxEditor(QPlainTextEdit &box)
    : m_box(box)
{
    m_text = FromDocumentText(box.document()->toRawText());
    m_userChanges = QObject::connect(box.document(), &QTextDocument::contentsChange, [this] {
        if (!m_writing)
            m_changedByUser = true;
    });
}

TextBoxEditor::~TextBoxEditor()
{
    QObject::disconnect(m_userChanges);
}

std::u16string TextBoxEditor::Text() const
{
    if (m_changedByUser)
        takeTextFromBox();
    return m_text;
}

void TextBoxEditor::SetText(const std::u16string &text)
{
    if (m_changedByUser)
        takeTextFromBox();
    const QScopedValueRollback writing(m_writing, true);
    const std::u16string_view held = m_text;
    if (text.starts_with(held) && !PartsLineBreak(text, held.size()))
        appendToBox(std::u16string_view(text).substr(held.size()));
    else if (held.starts_with(text) && !PartsLineBreak(held, text.size()))
        cutBoxTo(text.size());
    else
        replaceBoxText(text);
    m_text = text;
}

void TextBoxEditor::SetFocus()
{
    m_box.setFocus(Qt::OtherFocusReason);
}

void TextBoxEditor::SetSelStart(std::size_t position)
{
    QTextCursor caret = m_box.textCursor();
    if (!m_changedByUser && position >= m_text.size())
        caret.movePosition(QTextCursor::End);
    else
        caret.setPosition(DocumentPosition(Text(), position));
    m_box.setTextCursor(caret);
}

void TextBoxEditor::takeTextFromBox() const
{
    m_text = FromDocumentText(m_box.document()->toRawText());
    m_changedByUser = false;
}

void TextBoxEditor::appendToBox(std::u16string_view tail)
{
    if (tail.empty())
        return;
    QTextCursor end(m_box.document());
    end.movePosition(QTextCursor::End);
    end.insertText(ToDocumentText(tail));
}

void TextBoxEditor::cutBoxTo(std::size_t length)
{
    if (length == m_text.size())
        return;
    const auto removed = static_cast<int>(DocumentLength(std::u16string_view(m_text).substr(length)));
    // Positions, not cursor moves: a move left would step over a whole surrogate pair.
    const int end = m_box.document()->characterCount() - 1;
    QTextCursor tail(m_box.document());
    tail.setPosition(end);
    tail.setPosition(end - removed, QTextCursor::KeepAnchor);
    tail.removeSelectedText();
}

void TextBoxEditor::replaceBoxText(const std::u16string &text)
{
    m_box.setPlainText(ToDocumentText(text));
}

} // namespace hiragana
