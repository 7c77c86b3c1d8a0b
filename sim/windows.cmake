# The simulated board in a MinGW-w64 build (the Windows DLLs run under Wine
# by the end-to-end tests).

# The JSON library is header-only and installed for the host. Only its own
# directory goes on the include path, through a link in the build tree: the
# host's /usr/include as a whole would put glibc's C headers before MinGW's.
find_path(SIM_HOST_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include /usr/local/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(sim_json_include ${CMAKE_CURRENT_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${sim_json_include})
file(CREATE_LINK ${SIM_HOST_JSON_INCLUDE}/nlohmann ${sim_json_include}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${sim_json_include})

# Every DLL of the board carries the compiler's runtime, so nothing but
# Windows' own DLLs and simboard.dll needs to lie beside the stand-ins.
add_link_options(-static -static-libgcc -static-libstdc++)
