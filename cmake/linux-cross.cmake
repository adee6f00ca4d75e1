# Cross build for Linux on another processor with Debian's cross toolchain for KAVREL_CROSS_TRIPLE
# (set by the toolchain file that includes this one). The programs and tests run under qemu-user,
# called directly (a container may have no binfmt handler), on the target's own runtimes from
# Debian's multiarch packages (libc6:arm64 and the like, in scripts/install-deps), as on the
# target: with the toolchain's older copy of the C library, a forked child hangs or crashes under
# qemu-user. Libraries for the target come from the toolchain's folder or, as the cross compiler
# itself looks for them, from those multiarch packages under / (libgtest-dev:arm64 and the like).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${KAVREL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KAVREL_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${KAVREL_CROSS_TRIPLE} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KAVREL_CROSS_QEMU})
