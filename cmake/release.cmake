# The i686 release's diet: everything this configuration compiles (today's code and any added
# later) is built without exceptions, RTTI or unwind tables, for the Pentium (i586) instruction
# set, and optimised across files at link time. src/app/win32/release/ takes the place of the
# C++ library's throwing paths. The host, sanitizer and x86_64 builds keep the defaults.
set(QUORVEL_RELEASE_FLAGS
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
    # One user-interface thread: function-local statics need no lock (nor the library's).
    -fno-threadsafe-statics
    # A function called once stays a function: inlined into the large handlers that call it, it
    # made them bigger than it and its call together (2 KB in all).
    -fno-inline-functions-called-once)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # No CMOV, MMX or SSE; x87 floating point. Windows 2000 runs on a Pentium. The stack of a
  # 32-bit Windows thread, and of every callback, is aligned to 4 bytes: no code to realign it.
  # Data is aligned as the ABI asks, not arrays to 32 bytes for vector loads the Pentium lacks.
  # (The x86_64 twin that runs the Windows tests as the release is built takes every other
  # setting.)
  list(APPEND QUORVEL_RELEASE_FLAGS -march=i586 -mpreferred-stack-boundary=2 -malign-data=abi)
endif()
add_compile_options(${QUORVEL_RELEASE_FLAGS})
# Link-time optimisation compiles again at link: it must see the same code-generation flags.
# One partition: the program is small, and GCC 12's link-time optimiser for MinGW stops with an
# internal error (binds_to_current_def_p) when it splits it, depending on where functions land.
add_link_options(${QUORVEL_RELEASE_FLAGS} -flto-partition=one -ffunction-sections -fdata-sections
                 # No base relocations: an executable is always loaded at its preferred address
                 # on Windows 2000 and XP.
                 -Wl,--disable-dynamicbase,--disable-reloc-section)

include(CheckIPOSupported)
check_ipo_supported(RESULT QUORVEL_LTO OUTPUT QUORVEL_LTO_ERROR LANGUAGES CXX)
if(NOT QUORVEL_LTO)
  message(FATAL_ERROR "The release build needs link-time optimisation: ${QUORVEL_LTO_ERROR}")
endif()
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
