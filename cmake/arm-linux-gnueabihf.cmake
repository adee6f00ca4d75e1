# Cross build for 32-bit ARM Linux with hardware floating point (Debian's armhf: ARMv7 and later, a
# Raspberry Pi 2 or newer on a 32-bit system). Its char is unsigned.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(KAVREL_CROSS_TRIPLE arm-linux-gnueabihf)
set(KAVREL_CROSS_QEMU qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
# GCC notes where it passes an argument as versions before 7.1 did not: of no concern to a program
# built and linked with one compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
