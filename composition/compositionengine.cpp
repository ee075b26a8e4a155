#include "compositionengine.h"

#include "unicode.h"

namespace hiragana {

namespace {
constexpr std::u16string_view LineBreak = u"\r\n";
} // namespace

std::size_t LastCharacterLength(std::u16string_view text)
{
    const std::size_t n = text.size();
    if (n == 0)
        return 0;
    if (n >= 2) {
        const char16_t before = text[n - 2];
        const char16_t last = text[n - 1];
        if ((before == u'\r' && last == u'\n') || (IsHighSurrogate(before) && IsLowSurrogate(last)))
            return 2;
    }
    return 1;
}

CompositionEngine::CompositionEngine(Hiramod &state, Editor &editor, Speaker &speaker)
    : m_state(state)
    , m_editor(editor)
    , m_speaker(speaker)
{
}

void CompositionEngine::ChooseKana(std::u16string_view kana)
{
    m_state.PendingKana = kana;
}

void CompositionEngine::TrimLastChar()
{
    const std::u16string text = m_editor.Text();
    if (text.empty())
        return;
    m_state.TextLength = text.size();
    m_state.TrimmedText = text.substr(0, text.size() - LastCharacterLength(text));
    m_editor.SetText(m_state.TrimmedText);
}

void CompositionEngine::CaretToEnd()
{
    m_editor.SetFocus();
    m_editor.SetSelStart(m_editor.Text().size());
}

void CompositionEngine::BackSpace()
{
    if (m_editor.Text().empty())
        return;
    TrimLastChar();
    m_state.CommittedText = m_editor.Text();
    CaretToEnd();
}

void CompositionEngine::NewLine()
{
    m_editor.SetText(m_state.CommittedText + std::u16string(LineBreak));
    m_state.CommittedText = m_editor.Text();
    CaretToEnd();
}

void CompositionEngine::Confirm()
{
    if (m_state.PendingKana.empty())
        return;
    if (m_state.ReplaceLast == 1) {
        TrimLastChar();
        m_state.CommittedText = m_editor.Text();
        m_state.ReplaceLast = 0;
    }
    m_editor.SetText(m_state.CommittedText + m_state.PendingKana);
    m_speaker.SayAloud(m_state.PendingKana);
    m_state.LastConfirmed = m_state.PendingKana;
    m_state.PendingKana.clear();
    m_state.CommittedText = m_editor.Text();
    CaretToEnd();
}

void CompositionEngine::AddVoicedMark()
{
    AddMark(VoicedMarkTable);
}

void CompositionEngine::AddSemiVoicedMark()
{
    AddMark(SemiVoicedMarkTable);
}

// A mark key first marks the pending string; failing that, it arranges for the next Confirm
// to put the marked form of the last confirmed string in place of the text's last character.
// A pending string without a marked form is dropped.
void CompositionEngine::AddMark(MarkTable table)
{
    if (!m_state.PendingKana.empty()) {
        for (const MarkPair &row : table) {
            if (m_state.PendingKana == row.base) {
                m_state.PendingKana = row.marked;
                m_state.VoicedPending = 1;
            }
        }
        if (m_state.VoicedPending == 1) {
            m_state.VoicedPending = 0;
            return;
        }
    }
    for (const MarkPair &row : table) {
        if (m_state.LastConfirmed == row.base) {
            m_state.PendingKana = row.marked;
            m_state.ReplaceLast = 1;
        }
    }
    if (m_state.ReplaceLast == 0)
        m_state.PendingKana.clear();
}

} // namespace hiragana
