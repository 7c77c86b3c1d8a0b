# How rxflash.exe is built for Windows: one file that a user copies alone
# onto a machine, importing only system libraries, and small.
enable_language(RC)

set(RXFLASH_WINDOWS_COMPILE_OPTIONS
    # No exceptions, no run-time type information, no unwind tables: the
    # product uses none of them.
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    # One section per function, so the linker drops what is unused. (Not
    # -fdata-sections: MinGW then stores zero-filled objects in the file.)
    -ffunction-sections)
foreach(target rxflash_core rxflash)
  target_compile_options(${target} PRIVATE ${RXFLASH_WINDOWS_COMPILE_OPTIONS})
endforeach()

# The compiler's runtime linked in, so only Windows' own DLLs are imported;
# a console program; unused sections dropped; symbols stripped. The C++
# library makes <cstdio> use MinGW's own printf, which is linked in too.
target_link_options(rxflash PRIVATE -static -static-libgcc -static-libstdc++ -mconsole -Wl,--gc-sections -s)
