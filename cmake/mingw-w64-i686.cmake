# 32-bit Windows: the program a site installs, since it loads a 32-bit SpeechMike component.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
