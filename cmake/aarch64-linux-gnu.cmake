# Cross build for 64-bit ARM Linux (Debian's arm64: a Raspberry Pi 3 or newer on a 64-bit system).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(KAVREL_CROSS_TRIPLE aarch64-linux-gnu)
set(KAVREL_CROSS_QEMU qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
