# 64-bit Windows (x64): runs under Wine on a 64-bit-only host.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(RXFLASH_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
