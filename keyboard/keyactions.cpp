#include "keyactions.h"

#include "compositionengine.h"

namespace hiragana {

KeyActions::KeyActions(CompositionEngine &engine, Hiramod &state, Speaker &speaker,
                       std::function<void()> transfer)
    : m_engine(engine)
    , m_state(state)
    , m_speaker(speaker)
    , m_transfer(std::move(transfer))
{
}

void KeyActions::Click(const KeyRecord &key)
{
    switch (key.role) {
    case KeyRole::KanaKey:
        m_engine.ChooseKana(key.produces);
        break;
    case KeyRole::VoicedMark:
        m_engine.AddVoicedMark();
        break;
    case KeyRole::SemiVoicedMark:
        m_engine.AddSemiVoicedMark();
        break;
    case KeyRole::BackSpace:
        m_engine.BackSpace();
        break;
    case KeyRole::NewLine:
        m_engine.NewLine();
        break;
    case KeyRole::Confirm:
        m_engine.Confirm();
        break;
    case KeyRole::Transfer:
        if (m_transfer)
            m_transfer();
        break;
    case KeyRole::ReadAloud:
        // Reads the engine's copy, not the text box: only what was confirmed is said.
        m_speaker.SayAloud(m_state.CommittedText);
        break;
    }
}

} // namespace hiragana
