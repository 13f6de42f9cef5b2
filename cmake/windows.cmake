# Windows targets: the real platform layer, the Win32 front end and the program.
enable_language(RC)

file(GLOB QUORVEL_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(quorvel_win32platform STATIC ${QUORVEL_WIN32_PLATFORM_SOURCES})
target_include_directories(quorvel_win32platform PUBLIC src)
# shell32 and comdlg32 are looked up when first needed (LookUp in Win32Platform.h), not imported.
target_link_libraries(quorvel_win32platform PUBLIC advapi32 user32 kernel32)

# The front end minus WinMain, so window tests can drive the real window in-process.
file(GLOB QUORVEL_UI_SOURCES CONFIGURE_DEPENDS src/app/win32/*.cpp)
list(FILTER QUORVEL_UI_SOURCES EXCLUDE REGEX "WinMain\\.cpp$")
add_library(quorvel_ui STATIC ${QUORVEL_UI_SOURCES})
target_link_libraries(quorvel_ui PUBLIC quorvel_core quorvel_win32platform comctl32 gdi32 user32)

add_executable(quorvel WIN32 src/app/win32/WinMain.cpp src/app/win32/quorvel.rc)
target_link_libraries(quorvel PRIVATE quorvel_ui)
if(QUORVEL_RELEASE)
  # The release's own entry point and library pieces (see the files): nothing prebuilt for a
  # newer processor is linked. Data imported from a DLL without dllimport would need MinGW's
  # start-up code to patch it: that is refused at link time instead.
  set(QUORVEL_RELEASE_LIBRARY ${CMAKE_SOURCE_DIR}/src/app/win32/release/Runtime.cpp)
  target_sources(quorvel PRIVATE src/app/win32/release/Startup.cpp ${QUORVEL_RELEASE_LIBRARY})
  # The link map names what every byte of the image belongs to (scripts/measure-size and
  # scripts/check-instructions read it).
  target_link_options(quorvel PRIVATE -nostartfiles -Wl,--disable-auto-import
                      -Wl,-Map=${CMAKE_BINARY_DIR}/quorvel.map)
endif()


# Development tools, built with the tests or on request: regload loads .reg fixtures into a
# Wine prefix's registry (scripts/run, scripts/bench, tests); scripts/bench times start-ups with
# startprobe against barewindow, which is built here so that it shares the program's flags.
if(QUORVEL_TESTS)
  add_executable(regload tools/regload.cpp)
  # Works the program's window from a second process for scripts/run.
  add_executable(rundrive tools/rundrive.cpp)
  target_link_libraries(rundrive PRIVATE quorvel_core user32 comctl32)
else()
  add_executable(regload EXCLUDE_FROM_ALL tools/regload.cpp)
endif()
target_link_libraries(regload PRIVATE quorvel_sim advapi32)
add_executable(barewindow WIN32 EXCLUDE_FROM_ALL tools/bench/barewindow.cpp)
target_link_libraries(barewindow PRIVATE user32 gdi32)
add_executable(startprobe EXCLUDE_FROM_ALL tools/bench/startprobe.cpp)
target_link_libraries(startprobe PRIVATE user32)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  if(MSVC)
    # Current MSVC linkers go no lower than 5.01 (Windows XP).
    target_link_options(quorvel PRIVATE /SUBSYSTEM:WINDOWS,5.01)
  else()
    # The release image must start on Windows NT 4.0: OS and subsystem versions 4.0 in its
    # header.
    target_link_options(quorvel PRIVATE -Wl,--major-os-version,4,--minor-os-version,0
                        -Wl,--major-subsystem-version,4,--minor-subsystem-version,0)
  endif()
endif()

# The distribution zip: the program and a plain-text read-me for Windows users.
install(TARGETS quorvel RUNTIME DESTINATION .)
# With CR LF line ends: Notepad on Windows 2000 and XP shows bare line feeds as one long line.
file(READ packaging/README.txt QUORVEL_README)
string(REPLACE "\n" "\r\n" QUORVEL_README "${QUORVEL_README}")
file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${QUORVEL_README}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/README.txt)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION "2.01E")
set(CPACK_SYSTEM_NAME win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
