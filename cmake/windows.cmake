# Windows targets: the real platform layer, the Win32 front end and the program.
enable_language(RC)

file(GLOB QUORVEL_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(quorvel_win32platform STATIC ${QUORVEL_WIN32_PLATFORM_SOURCES})
target_include_directories(quorvel_win32platform PUBLIC src)
target_link_libraries(quorvel_win32platform PUBLIC advapi32 shell32 user32 kernel32)

# The front end minus WinMain, so window tests can drive the real window in-process.
file(GLOB QUORVEL_UI_SOURCES CONFIGURE_DEPENDS src/app/win32/*.cpp)
list(FILTER QUORVEL_UI_SOURCES EXCLUDE REGEX "WinMain\\.cpp$")
add_library(quorvel_ui STATIC ${QUORVEL_UI_SOURCES})
target_link_libraries(quorvel_ui PUBLIC quorvel_core quorvel_win32platform comctl32 gdi32 user32)

add_executable(quorvel WIN32 src/app/win32/WinMain.cpp src/app/win32/quorvel.rc)
target_link_libraries(quorvel PRIVATE quorvel_ui)


# Development tool: loads .reg fixtures into a Wine prefix's registry (scripts/run, tests).
if(QUORVEL_TESTS)
  add_executable(regload tools/regload.cpp)
  target_link_libraries(regload PRIVATE quorvel_sim advapi32)
endif()
