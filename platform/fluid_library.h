#pragma once
// FluidSynth, loaded at its first use (dlopen) rather than with the program: a start that plays no tune never
// loads it and the libraries it brings (audio servers, codecs, ...), which would cost every start their load time.
#include <fluidsynth.h>

#define QUILLET_FLUID_FUNCTIONS(X)                                                                                     \
    X(new_fluid_settings)                                                                                              \
    X(delete_fluid_settings)                                                                                           \
    X(fluid_settings_setstr)                                                                                           \
    X(fluid_settings_setnum)                                                                                           \
    X(new_fluid_synth)                                                                                                 \
    X(delete_fluid_synth)                                                                                              \
    X(fluid_synth_sfload)                                                                                              \
    X(fluid_synth_all_notes_off)                                                                                       \
    X(fluid_synth_all_sounds_off)                                                                                      \
    X(new_fluid_audio_driver)                                                                                          \
    X(delete_fluid_audio_driver)                                                                                       \
    X(new_fluid_player)                                                                                                \
    X(delete_fluid_player)                                                                                             \
    X(fluid_player_add_mem)                                                                                            \
    X(fluid_player_play)                                                                                               \
    X(fluid_player_stop)                                                                                               \
    X(fluid_player_get_status)                                                                                         \
    X(fluid_set_log_function)

// The functions the music device calls, with FluidSynth's own names and types.
struct FluidLibrary {
#define QUILLET_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    QUILLET_FLUID_FUNCTIONS(QUILLET_FLUID_POINTER)
#undef QUILLET_FLUID_POINTER
};

// Loaded at the first call and kept for the run; null when the library or one of its functions is missing (the
// device is then silent, as without an audio output).
const FluidLibrary* fluidLibrary();
