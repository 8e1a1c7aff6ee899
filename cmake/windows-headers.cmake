# The header-only libraries of the Windows build come from the build machine's /usr/include,
# linked into a folder that holds nothing else: the MinGW compiler must not see any other Linux
# system header.
set(STRANDEL_HEADER_SHELF ${CMAKE_BINARY_DIR}/header-shelf)
file(MAKE_DIRECTORY ${STRANDEL_HEADER_SHELF})
foreach(header nlohmann/json.hpp CLI/CLI.hpp stb/stb_image.h tinyexr.h)
  string(REGEX REPLACE "/.*" "" entry ${header})
  string(MAKE_C_IDENTIFIER ${entry} id)
  find_path(STRANDEL_HEADERS_${id} ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(CREATE_LINK ${STRANDEL_HEADERS_${id}}/${entry} ${STRANDEL_HEADER_SHELF}/${entry} SYMBOLIC)
endforeach()

add_library(strandel_header_shelf INTERFACE)
target_include_directories(strandel_header_shelf SYSTEM INTERFACE ${STRANDEL_HEADER_SHELF})
add_library(CLI11::CLI11 ALIAS strandel_header_shelf)
