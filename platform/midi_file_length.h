#pragma once
// Playing time of a Standard MIDI File, read from its own bytes: the player needs it to tell when a tune has
// ended even when no audio output runs the synthesizer.
#include <optional>
#include <string_view>

// Seconds from the start to the last event of the longest track (its end-of-track mark), following the tempo
// changes; nothing when the bytes are not a well-formed MIDI file of format 0 or 1
// (format 2 holds independent patterns, which a sequencer does not play as one tune).
std::optional<double> midiFileSeconds(std::string_view bytes);
