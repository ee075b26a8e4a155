#pragma once

#include <espeak-ng/speak_lib.h>
#include <pulse/simple.h>

namespace hiragana {

// The voice's libraries are opened when the voice first starts, not with the program: the
// keyboard's window does not wait for espeak-ng, the sound server's client and the codecs they
// bring. Each is opened once and kept for the life of the process.

// The part of espeak-ng the synthesiser uses.
struct EspeakLibrary {
    decltype(&espeak_Initialize) initialize;
    decltype(&espeak_SetSynthCallback) setSynthCallback;
    decltype(&espeak_SetVoiceByName) setVoiceByName;
    decltype(&espeak_Synth) synth;
};

// The part of the sound server's simple client the sound output uses.
struct PulseSimpleLibrary {
    decltype(&pa_simple_new) open;
    decltype(&pa_simple_write) write;
    decltype(&pa_simple_drain) drain;
    decltype(&pa_simple_flush) flush;
    decltype(&pa_simple_free) free;
    decltype(&pa_usec_to_bytes) usecToBytes;
};

// Null when the library is not installed or lacks one of the functions.
const EspeakLibrary *Espeak();
const PulseSimpleLibrary *PulseSimple();

} // namespace hiragana
