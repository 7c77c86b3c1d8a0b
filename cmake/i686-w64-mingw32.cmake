# 32-bit Windows (x86): the product.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(RXFLASH_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
