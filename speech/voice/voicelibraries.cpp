#include "voicelibraries.h"

#include <dlfcn.h>

#include <optional>

namespace hiragana {

namespace {
// Their runtime names, which carry the version of their binary interface.
constexpr const char *EspeakLibraryName = "libespeak-ng.so.1";
constexpr const char *PulseSimpleLibraryName = "libpulse-simple.so.0";

class OpenedLibrary {
public:
    explicit OpenedLibrary(const char *name)
        : m_handle(dlopen(name, RTLD_NOW | RTLD_LOCAL))
    {
    }

    // Also finds what the library's own dependencies define.
    template <typename Function>
    bool resolve(const char *name, Function &function) const
    {
        function = m_handle ? reinterpret_cast<Function>(dlsym(m_handle, name)) : nullptr;
        return function != nullptr;
    }

    // Kept open: espeak-ng's threads and the sound server's connections may outlive any caller.
    void keep() { m_handle = nullptr; }

    ~OpenedLibrary()
    {
        if (m_handle)
            dlclose(m_handle);
    }

    OpenedLibrary(const OpenedLibrary &) = delete;
    OpenedLibrary &operator=(const OpenedLibrary &) = delete;

private:
    void *m_handle;
};

std::optional<EspeakLibrary> loadEspeak()
{
    OpenedLibrary library(EspeakLibraryName);
    EspeakLibrary espeak{};
    if (!library.resolve("espeak_Initialize", espeak.initialize)
        || !library.resolve("espeak_SetSynthCallback", espeak.setSynthCallback)
        || !library.resolve("espeak_SetVoiceByName", espeak.setVoiceByName)
        || !library.resolve("espeak_Synth", espeak.synth))
        return std::nullopt;
    library.keep();
    return espeak;
}

std::optional<PulseSimpleLibrary> loadPulseSimple()
{
    OpenedLibrary library(PulseSimpleLibraryName);
    PulseSimpleLibrary pulse{};
    if (!library.resolve("pa_simple_new", pulse.open) || !library.resolve("pa_simple_write", pulse.write)
        || !library.resolve("pa_simple_drain", pulse.drain) || !library.resolve("pa_simple_flush", pulse.flush)
        || !library.resolve("pa_simple_free", pulse.free) || !library.resolve("pa_usec_to_bytes", pulse.usecToBytes))
        return std::nullopt;
    library.keep();
    return pulse;
}
} // namespace

const EspeakLibrary *Espeak()
{
    static const std::optional<EspeakLibrary> library = loadEspeak();
    return library ? &*library : nullptr;
}

const PulseSimpleLibrary *PulseSimple()
{
    static const std::optional<PulseSimpleLibrary> library = loadPulseSimple();
    return library ? &*library : nullptr;
}

} // namespace hiragana
