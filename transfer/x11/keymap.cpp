#include "keymap.h"

#include "errortrap.h"

#include <X11/keysym.h>

#include <algorithm>

namespace hiragana::x11 {

namespace {
constexpr unsigned int FetchedParts = XkbKeyTypesMask | XkbKeySymsMask | XkbKeyActionsMask | XkbKeyBehaviorsMask
    | XkbExplicitComponentsMask | XkbModifierMapMask | XkbVirtualModMapMask;
constexpr int FirstGroup = 0;
constexpr unsigned int Shift = ShiftMask;

// The modifiers that select level in type, if a single entry does.
std::optional<unsigned int> modifiersForLevel(const XkbKeyTypeRec &type, int level)
{
    if (level == 0)
        return 0u;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec &entry = type.map[i];
        if (entry.active && entry.level == level)
            return entry.mods.mask;
    }
    return std::nullopt;
}

bool sameKeysyms(const XkbDescRec &one, const XkbDescRec &other, KeyCode keycode)
{
    const int count = XkbKeyNumSyms(&one, keycode);
    const KeySym *syms = XkbKeySymsPtr(&one, keycode);
    return XkbKeyNumGroups(&one, keycode) == XkbKeyNumGroups(&other, keycode)
        && count == XkbKeyNumSyms(&other, keycode) && std::equal(syms, syms + count, XkbKeySymsPtr(&other, keycode));
}

// The two-level type selects its second level by Shift alone in every standard keymap; checked.
bool twoLevelTypeUsesShift(const XkbDescRec &desc)
{
    if (desc.map->num_types <= XkbTwoLevelIndex)
        return false;
    const XkbKeyTypeRec &type = desc.map->types[XkbTwoLevelIndex];
    return type.num_levels == 2 && modifiersForLevel(type, 1) == Shift;
}
} // namespace

KeymapBinder::KeymapBinder(Display *display, SpareKeyUse use)
    : m_display(display)
    , m_use(use)
    , m_desc(XkbGetMap(display, FetchedParts, XkbUseCoreKbd))
{
    if (!m_desc)
        return;
    findSpareKeys();
    findShiftKey();
    m_levelsPerSpareKey = m_shiftKey && twoLevelTypeUsesShift(*m_desc) ? 2 : 1;
    indexKeymap();
}

KeymapBinder::~KeymapBinder()
{
    Restore();
}

bool KeymapBinder::isSpare(KeyCode keycode) const
{
    const XkbDescRec &desc = *m_desc;
    return XkbKeyNumGroups(&desc, keycode) == 0 && desc.server->c_explicit[keycode] == 0
        && desc.server->key_acts[keycode] == 0 && desc.server->behaviors[keycode].type == 0
        && desc.map->modmap[keycode] == 0 && desc.server->vmodmap[keycode] == 0;
}

void KeymapBinder::findSpareKeys()
{
    for (int keycode = m_desc->min_key_code; keycode <= m_desc->max_key_code; ++keycode) {
        if (isSpare(keycode))
            m_spareKeys.push_back({static_cast<KeyCode>(keycode), m_desc->map->key_sym_map[keycode],
                                   m_desc->server->c_explicit[keycode]});
    }
}

void KeymapBinder::findShiftKey()
{
    for (int keycode = m_desc->min_key_code; keycode <= m_desc->max_key_code; ++keycode) {
        if (!(m_desc->map->modmap[keycode] & ShiftMask) || XkbKeyNumGroups(m_desc.get(), keycode) == 0)
            continue;
        const KeySym keysym = XkbKeySymEntry(m_desc.get(), keycode, 0, FirstGroup);
        if (keysym == XK_Shift_L || keysym == XK_Shift_R) {
            m_shiftKey = static_cast<KeyCode>(keycode);
            return;
        }
    }
}

void KeymapBinder::indexKeymap()
{
    for (int keycode = m_desc->min_key_code; keycode <= m_desc->max_key_code; ++keycode) {
        if (XkbKeyNumGroups(m_desc.get(), keycode) == 0 || m_desc->map->modmap[keycode] != 0)
            continue;
        const XkbKeyTypeRec &type = *XkbKeyKeyType(m_desc.get(), keycode, FirstGroup);
        for (int level = 0; level < XkbKeyGroupWidth(m_desc.get(), keycode, FirstGroup); ++level) {
            const KeySym keysym = XkbKeySymEntry(m_desc.get(), keycode, level, FirstGroup);
            const auto modifiers = modifiersForLevel(type, level);
            const bool reachable = modifiers == 0u || (modifiers == Shift && m_shiftKey);
            if (keysym == NoSymbol || !reachable)
                continue;
            const KeyPosition position{static_cast<KeyCode>(keycode), modifiers == Shift};
            auto [known, inserted] = m_keymapKeys.try_emplace(static_cast<Keysym>(keysym), position);
            if (!inserted && known->second.shift && !position.shift)
                known->second = position;
        }
    }
}

std::optional<KeyPosition> KeymapBinder::Find(Keysym keysym) const
{
    if (auto known = m_keymapKeys.find(keysym); known != m_keymapKeys.end())
        return known->second;
    if (auto bound = m_boundKeys.find(keysym); bound != m_boundKeys.end())
        return bound->second;
    return std::nullopt;
}

void KeymapBinder::setKeysyms(const SpareKey &key, std::span<const Keysym> keysyms)
{
    const int width = static_cast<int>(keysyms.size());
    KeySym *syms = XkbResizeKeySyms(m_desc.get(), key.keycode, width);
    XkbSymMapRec &symMap = m_desc->map->key_sym_map[key.keycode];
    symMap.kt_index[FirstGroup] = width == 2 ? XkbTwoLevelIndex : XkbOneLevelIndex;
    symMap.group_info = XkbSetNumGroups(symMap.group_info, 1);
    symMap.width = static_cast<unsigned char>(width);
    std::copy(keysyms.begin(), keysyms.end(), syms);
    m_desc->server->c_explicit[key.keycode] = XkbExplicitKeyType1Mask;
}

void KeymapBinder::clearKeysyms(const SpareKey &key)
{
    XkbResizeKeySyms(m_desc.get(), key.keycode, 0);
    XkbSymMapRec &symMap = m_desc->map->key_sym_map[key.keycode];
    std::copy(std::begin(key.symMap.kt_index), std::end(key.symMap.kt_index), std::begin(symMap.kt_index));
    symMap.group_info = key.symMap.group_info;
    symMap.width = key.symMap.width;
    m_desc->server->c_explicit[key.keycode] = key.explicitComponents;
}

std::span<const KeymapBinder::SpareKey> KeymapBinder::currentSet() const
{
    const std::span<const SpareKey> all(m_spareKeys);
    return m_secondSetsTurn ? all.last(setSize()) : all.first(setSize());
}

bool KeymapBinder::Bind(std::span<const Keysym> keysyms)
{
    if (keysyms.empty())
        return true;
    if (!usable() || keysyms.size() > slotCount())
        return false;
    const std::span<const SpareKey> set = currentSet();
    // First levels first: characters that come one after the other in the text get different
    // keys, so fewer presses of one key follow each other.
    std::vector<std::vector<Keysym>> keysymsPerKey(set.size());
    for (std::size_t i = 0; i < keysyms.size(); ++i)
        keysymsPerKey[i % set.size()].push_back(keysyms[i]);
    m_boundKeys.clear();
    for (std::size_t k = 0; k < set.size(); ++k) {
        const SpareKey &key = set[k];
        if (keysymsPerKey[k].empty()) {
            clearKeysyms(key);
            continue;
        }
        setKeysyms(key, keysymsPerKey[k]);
        for (std::size_t level = 0; level < keysymsPerKey[k].size(); ++level)
            m_boundKeys[keysymsPerKey[k][level]] = KeyPosition{key.keycode, level == 1};
    }
    m_secondSetsTurn = takingTurns() && !m_secondSetsTurn;
    m_changed = true;
    return send() && serverHoldsBindings();
}

bool KeymapBinder::serverHoldsBindings() const
{
    const std::unique_ptr<XkbDescRec, XkbDescDeleter> server(XkbGetMap(m_display, XkbKeySymsMask, XkbUseCoreKbd));
    return server && std::all_of(m_spareKeys.begin(), m_spareKeys.end(), [&](const SpareKey &key) {
        return sameKeysyms(*server, *m_desc, key.keycode);
    });
}

bool KeymapBinder::Restore()
{
    if (!m_changed)
        return true;
    for (const SpareKey &key : m_spareKeys)
        clearKeysyms(key);
    m_boundKeys.clear();
    m_changed = false;
    return send();
}

bool KeymapBinder::send()
{
    const int first = m_spareKeys.front().keycode;
    const int count = m_spareKeys.back().keycode - first + 1;
    XkbMapChangesRec changes{};
    // The two key types the spare keys use go along unchanged: Xwayland (22.1) checks every key's
    // width against the widths of the types in the request, and refuses one that carries none.
    changes.changed = XkbKeyTypesMask | XkbKeySymsMask | XkbExplicitComponentsMask;
    changes.first_type = XkbOneLevelIndex;
    changes.num_types = XkbTwoLevelIndex + 1;
    changes.first_key_sym = static_cast<KeyCode>(first);
    changes.num_key_syms = static_cast<unsigned char>(count);
    changes.first_key_explicit = static_cast<KeyCode>(first);
    changes.num_key_explicit = static_cast<unsigned char>(count);
    ErrorTrap trap(m_display);
    return XkbChangeMap(m_display, m_desc.get(), &changes) && !trap.Failed();
}

} // namespace hiragana::x11
