# 64-bit Windows (PE32+, x86-64): the same program for Windows without its 32-bit subsystem,
# and the build whose tests run on hosts that cannot execute i386 code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
