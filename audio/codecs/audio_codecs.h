// The compressed-sound decoder of the desktop build: OGG Vorbis through libvorbisfile and MP3
// through libmpg123, both decoding a whole file from memory.
#pragma once

#include "engine/audio.h"

namespace dral {

/// Decodes OGG Vorbis (recognised by its "OggS" start) and MP3 (an ID3 tag, an MPEG frame header
/// or the .mp3 extension) of one or two channels. A file cut short keeps what decoded before the
/// cut; one that yields no sound at all is Fail.
const AudioDecoder& CodecAudioDecoder();

} // namespace dral
