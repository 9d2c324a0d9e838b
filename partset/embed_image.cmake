# SPDX-License-Identifier: GPL-3.0-or-later
# Turns a built joiner into a C++ source holding its bytes, returned by the function FUNCTION
# (declared in partset/embedded_images.h): cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -P
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# 32 bytes a line keeps the generated source readable for the compiler and for diff tools.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from the built joiner by partset/embed_image.cmake; do not edit.
#include \"partset/embedded_images.h\"

namespace partset {

namespace {

alignas(16) const unsigned char kImage[${size}] = {
${bytes}
};

} // namespace

std::span<const unsigned char> ${FUNCTION}()
{
    return {kImage, sizeof kImage};
}

} // namespace partset
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
