# i686 Windows builds: the release binary for Windows NT 4.0/2000/XP, and (QUORVEL_MINGW_THREADS
# posix) the Windows-side tests built for 32 bits. The release keeps the -win32 thread model,
# which keeps winpthreads (and its GetTickCount64 import) out of the binary; GoogleTest needs
# the -posix one (std::mutex). Nothing 32-bit runs on these machines: scripts/guest runs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT QUORVEL_MINGW_THREADS)
  set(QUORVEL_MINGW_THREADS win32)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${QUORVEL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${QUORVEL_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUORVEL_MINGW_THREADS)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
