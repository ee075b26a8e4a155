#pragma once

#include "audiosink.h"

namespace hiragana {

// Names the folder into which every utterance is also written as a WAV file, for tests and
// for machines without sound. Read by the speech component only.
inline constexpr char SpeechWavDirVariable[] = "HIRAGANA_SPEECH_WAV_DIR";

// Each utterance goes to the sound server and, when SpeechWavDirVariable names a folder,
// into a WAV file of its own there ("speech-<process>-<number>.wav", numbered from 1).
AudioSinkFactory DefaultAudioSinks();

} // namespace hiragana
