#pragma once

#include "characterspeaker.h"
#include "compositionengine.h"
#include "hiramod.h"
#include "keyactions.h"
#include "textboxeditor.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPlainTextEdit;

namespace hiragana {

class FrameExtentsRequest;
class KeyButton;
class TextBox;

// The keyboard's one window: the text box Text1, the seventy keys Command1 … Command70 built
// from the key table, and the two menus. Each key's click runs its operation; the keys that
// show focus turn red while they hold the window's focus.
class Hiragana : public QMainWindow {
    Q_OBJECT
public:
    Hiragana(Hiramod &state, CharacterCollection &characters, QWidget *parent = nullptr);
    ~Hiragana() override;

    // The start-up sequence, run once before the window is first shown: centre on the screen,
    // reset the flags, choose Microsoft Word, make the window 9000 twips high and set up the
    // speech character. Throws hiragana::Failure; the window must then not be shown.
    void Load();

    // The transfer key's action; until one is set the transfer key does nothing.
    void setTransfer(std::function<void()> transfer);

    Hiramod &state() { return m_state; }
    Editor &editor() { return m_editor; }
    // The size of the window inside its frame as created: the client area and the menu bar.
    QSize designSize() const;

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TextBox *createTextBox();
    void createKeys();
    void createMenus();
    void placeOnScreen(const QMargins &frame);
    void followFocus();
    void clickKey(const KeyRecord &key);

    Hiramod &m_state;
    CharacterCollection &m_characters;
    CharacterSpeaker m_speaker;
    QWidget *m_client;
    TextBox *m_text1;
    TextBoxEditor m_editor;
    CompositionEngine m_engine;
    KeyActions m_actions;
    std::vector<KeyButton *> m_keys;
    // Sent as the window is being built, so the window manager answers while the keys and
    // menus are made; Load takes the answer.
    std::unique_ptr<FrameExtentsRequest> m_frameExtents;
    // The key painted red, if any: the control holding the window's focus.
    KeyButton *m_focusColoured = nullptr;
    // Set when the window manager gave no frame size before mapping: the position is then
    // corrected once the window is first exposed.
    bool m_correctAfterExpose = false;
};

} // namespace hiragana
