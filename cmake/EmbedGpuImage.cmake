# Writes OUTPUT, a C++ source that defines strandel::kGpuKernelImage as the bytes of INPUT, the
# GPU kernel's fat binary. Run as: cmake -DINPUT=... -DOUTPUT=... -P EmbedGpuImage.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line.
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
string(REGEX REPLACE "\n    $" "" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
"// Generated from ${INPUT}; do not edit.
#include \"render/StxRendererCUDA.h\"

namespace strandel {

// The driver reads the image's headers in place: 64-bit fields, aligned.
alignas(64) const unsigned char kGpuKernelImage[] = {
    ${bytes}
};

} // namespace strandel
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
