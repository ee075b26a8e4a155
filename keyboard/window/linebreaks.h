#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace hiragana {

// The text box keeps line breaks as paragraph separators, while the engine's text carries
// them as CR LF. A CR without its LF is kept apart as a line separator (U+2028), so that it
// shows as a line break yet reads back as the lone CR it was.

// The engine's text in the form the text box's document takes it (for QTextCursor::insertText,
// which makes a paragraph of each LF).
QString ToDocumentText(std::u16string_view text);
// The document's raw text (QTextDocument::toRawText) in the engine's form.
std::u16string FromDocumentText(const QString &raw);
// How many document positions the engine's text takes: a CR LF pair takes one.
std::size_t DocumentLength(std::u16string_view text);
// The document position of the caret placed after offset code units of the engine's text.
// An offset between a CR and its LF, or beyond the end, places the caret after them.
int DocumentPosition(std::u16string_view text, std::size_t offset);
// Whether cutting text at offset would part a CR from its LF.
bool PartsLineBreak(std::u16string_view text, std::size_t offset);

} // namespace hiragana
