#pragma once

#include "keystrokes.h"

#include <X11/XKBlib.h>

#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace hiragana::x11 {

// Where a keysym is typed: a key, pressed with or without Shift.
struct KeyPosition {
    KeyCode keycode = 0;
    bool shift = false;

    bool operator==(const KeyPosition &) const = default;
};

// The core keyboard's keymap for the length of one typing run. Keysyms the keymap types at its
// first or Shift level are used where they are; others are bound for a while to spare keys
// (keycodes with nothing on them at all), two to a key when Shift is at hand. Every change is one
// request, and the spare keys are left exactly as they were found when it goes.
//
// How the spare keys serve the batches: all of them for each batch, or two halves taking turns,
// each Bind rebinding one half and leaving the other as the Bind before left it, so that a
// target still handling the previous batch reads its keys as they were sent.
enum class SpareKeyUse { AllForEachBatch, HalvesTakingTurns };

class KeymapBinder {
public:
    explicit KeymapBinder(Display *display, SpareKeyUse use = SpareKeyUse::AllForEachBatch);
    ~KeymapBinder();
    KeymapBinder(const KeymapBinder &) = delete;
    KeymapBinder &operator=(const KeymapBinder &) = delete;

    // False when the keymap could not be read.
    bool usable() const { return m_desc != nullptr; }
    // How many keysyms one Bind can take.
    std::size_t slotCount() const { return setSize() * m_levelsPerSpareKey; }
    std::optional<KeyCode> shiftKey() const { return m_shiftKey; }

    bool InKeymap(Keysym keysym) const { return m_keymapKeys.contains(keysym); }
    // Where keysym is typed now: on its own key, or on the spare key it is bound to.
    std::optional<KeyPosition> Find(Keysym keysym) const;

    // Binds keysyms (at most slotCount()) to the spare keys whose turn it is, in place of their
    // earlier bindings, in one request, and reads them back. Find then finds these keysyms only.
    // Nothing changes for an empty list.
    bool Bind(std::span<const Keysym> keysyms);
    bool hasBindings() const { return m_changed; }
    // Takes the bindings away again.
    bool Restore();

private:
    struct XkbDescDeleter {
        void operator()(XkbDescPtr desc) const { XkbFreeKeyboard(desc, 0, True); }
    };
    struct SpareKey {
        KeyCode keycode;
        XkbSymMapRec symMap;
        unsigned char explicitComponents;
    };

    // With a single spare key both turns use it.
    bool takingTurns() const { return m_use == SpareKeyUse::HalvesTakingTurns && m_spareKeys.size() >= 2; }
    std::size_t setSize() const { return takingTurns() ? m_spareKeys.size() / 2 : m_spareKeys.size(); }
    std::span<const SpareKey> currentSet() const;
    bool isSpare(KeyCode keycode) const;
    void findSpareKeys();
    void findShiftKey();
    void indexKeymap();
    void setKeysyms(const SpareKey &key, std::span<const Keysym> keysyms);
    void clearKeysyms(const SpareKey &key);
    bool send();
    // Whether the server's keymap now types on the spare keys what this one says: a server may
    // take a change without error and still keep or replace the keys.
    bool serverHoldsBindings() const;

    Display *m_display;
    SpareKeyUse m_use;
    std::unique_ptr<XkbDescRec, XkbDescDeleter> m_desc;
    std::vector<SpareKey> m_spareKeys;
    std::optional<KeyCode> m_shiftKey;
    std::size_t m_levelsPerSpareKey = 1;
    std::unordered_map<Keysym, KeyPosition> m_keymapKeys;
    std::unordered_map<Keysym, KeyPosition> m_boundKeys;
    bool m_changed = false;
    bool m_secondSetsTurn = false;
};

} // namespace hiragana::x11
