# quorvel_embed_file(<out_cpp> <symbol> <file>)
# Writes <out_cpp> defining `extern const std::byte <symbol>[]` and `<symbol>_size` from the bytes of
# <file>, so binary resources ship inside the executable as they would in a resource section.
function(quorvel_embed_file out_cpp symbol file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "std::byte{0x\\1}," bytes "${hex}")
  string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
  file(CONFIGURE OUTPUT "${out_cpp}" CONTENT
"// Generated from ${file}; do not edit.
#include <cstddef>
extern const std::byte ${symbol}[];
extern const std::size_t ${symbol}_size;
alignas(8) const std::byte ${symbol}[] = {
${bytes}
};
const std::size_t ${symbol}_size = ${size};
" @ONLY)
endfunction()
