# Builds for 32-bit x86 Linux with the host's g++ and its multilib runtime, so that the engine's
# own code runs with 4-byte size_t, pointers and long. Linked statically: the program then needs
# no 32-bit libraries, natively or under qemu-i386-static.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# The test programs may need an emulator, so GoogleTest lists them only when CTest runs.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
