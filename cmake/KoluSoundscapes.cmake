# The ambient loops: synthesised at build time by scripts/make-soundscapes.sh
# into Kolu_Soundscapes_v1 beside the kolu executable, where the mixer looks
# for them first.
find_program(KOLU_SOX_EXECUTABLE sox REQUIRED)

set(KOLU_SOUNDSCAPES_DIR ${CMAKE_CURRENT_BINARY_DIR}/Kolu_Soundscapes_v1)
set(_kolu_soundscape_files 01_Ocean.flac 02_Forest_Birds.flac 03_Rain.flac 04_Stream.flac LICENSE)
list(TRANSFORM _kolu_soundscape_files PREPEND ${KOLU_SOUNDSCAPES_DIR}/ OUTPUT_VARIABLE _kolu_soundscape_outputs)

add_custom_command(
  OUTPUT ${_kolu_soundscape_outputs}
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-soundscapes.sh ${KOLU_SOUNDSCAPES_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-soundscapes.sh ${PROJECT_SOURCE_DIR}/resources/soundscapes/LICENSE
  COMMENT "Synthesising the ambient loops"
  VERBATIM)
add_custom_target(kolu_soundscapes ALL DEPENDS ${_kolu_soundscape_outputs})
# The installed program looks for them in share/kolu.
install(FILES ${_kolu_soundscape_outputs} DESTINATION share/kolu/Kolu_Soundscapes_v1)
