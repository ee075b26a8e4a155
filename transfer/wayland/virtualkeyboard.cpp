#include "virtualkeyboard.h"

#include <algorithm>
#include <chrono>
#include <sys/mman.h>
#include <unistd.h>

namespace hiragana::wayland {

namespace {
// The XKB key codes there are for characters: 9 (evdev code 1) to 255, the most X11 knows.
constexpr std::uint32_t FirstKeycode = 9;
constexpr std::uint32_t LastKeycode = 255;
constexpr std::uint32_t EvdevOffset = 8;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Wayland's key times: milliseconds from an arbitrary start.
std::uint32_t now()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

bool writeAll(int fd, const std::string &text)
{
    // With its terminating NUL, as receivers of wl_keyboard keymaps expect.
    const char *data = text.c_str();
    std::size_t left = text.size() + 1;
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}
} // namespace

VirtualKeyboard::VirtualKeyboard(const Compositor &compositor)
    : m_keyboard(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(compositor.keyboards(), compositor.seat()))
{
    m_usable = upload();
}

bool VirtualKeyboard::TypeBatch(std::span<const Keysym> keysyms)
{
    if (keysyms.size() > MaxBatch)
        return false;
    ++m_batch;
    std::vector<std::uint32_t> keycodes;
    for (Keysym keysym : keysyms)
        keycodes.push_back(keycodeFor(keysym));
    if (m_keymapChanged && !upload())
        return false;
    for (std::uint32_t keycode : keycodes)
        press(keycode);
    return true;
}

std::uint32_t VirtualKeyboard::keycodeFor(Keysym keysym)
{
    auto binding = std::find_if(m_bindings.begin(), m_bindings.end(),
                                [&](const Binding &bound) { return bound.key.keysym == keysym; });
    if (binding == m_bindings.end()) {
        m_keymapChanged = true;
        const auto used = static_cast<std::uint32_t>(m_bindings.size());
        if (FirstKeycode + used <= LastKeycode) {
            binding = m_bindings.insert(m_bindings.end(), Binding{KeyBinding{FirstKeycode + used, keysym}});
        } else {
            // A batch uses fewer keys than there are, so the least recently used is not its own.
            binding = std::min_element(m_bindings.begin(), m_bindings.end(),
                                       [](const Binding &a, const Binding &b) { return a.lastBatch < b.lastBatch; });
            binding->key.keysym = keysym;
        }
    }
    binding->lastBatch = m_batch;
    return binding->key.keycode;
}

bool VirtualKeyboard::upload()
{
    std::vector<KeyBinding> keys;
    for (const Binding &binding : m_bindings)
        keys.push_back(binding.key);
    const std::string keymap = m_keymapWriter.Write(keys);
    const FileDescriptor file(memfd_create("hiragana-keymap", MFD_CLOEXEC));
    if (keymap.empty() || file.get() < 0 || !writeAll(file.get(), keymap))
        return false;
    // The request carries a copy of the descriptor; ours closes here.
    zwp_virtual_keyboard_v1_keymap(m_keyboard.get(), WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, file.get(),
                                   static_cast<std::uint32_t>(keymap.size() + 1));
    m_keymapChanged = false;
    return true;
}

void VirtualKeyboard::press(std::uint32_t keycode)
{
    const std::uint32_t time = now();
    zwp_virtual_keyboard_v1_key(m_keyboard.get(), time, keycode - EvdevOffset, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(m_keyboard.get(), time, keycode - EvdevOffset, WL_KEYBOARD_KEY_STATE_RELEASED);
}

} // namespace hiragana::wayland
