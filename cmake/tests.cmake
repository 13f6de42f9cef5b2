# Test executables: host tests under GoogleTest on Linux, Windows-side tests under wine64.
set(QUORVEL_FIXTURES_DIR "${CMAKE_SOURCE_DIR}/tests/fixtures")

if(NOT WIN32)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB QUORVEL_HOST_TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp)
  add_executable(quorvel_host_tests ${QUORVEL_HOST_TEST_SOURCES})
  target_include_directories(quorvel_host_tests PRIVATE tests)
  target_compile_definitions(quorvel_host_tests
    PRIVATE QUORVEL_FIXTURES_DIR="${QUORVEL_FIXTURES_DIR}")
  target_link_libraries(quorvel_host_tests PRIVATE quorvel_core quorvel_sim GTest::gtest_main
                                                   GTest::gmock)
  gtest_discover_tests(quorvel_host_tests DISCOVERY_TIMEOUT 60)
else()
  # Debian's googletest package ships the sources; build them with the cross compiler.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -Wno-error)
  endforeach()

  set(QUORVEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  file(GLOB QUORVEL_WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win/*_test.cpp)
  foreach(src ${QUORVEL_WIN_TEST_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_include_directories(${name} PRIVATE tests tools)
    # Wine's own fonts, where Debian's Wine keeps them: the layout test draws in them, as
    # scripts/run's prefix does.
    target_compile_definitions(${name} PRIVATE QUORVEL_FIXTURES_DIR="${QUORVEL_FIXTURES_DIR}"
                                               QUORVEL_WINE_FONTS_DIR="/usr/share/wine/fonts")
    # gtest_main only fills in when the test has no main() of its own.
    target_link_libraries(${name} PRIVATE quorvel_ui quorvel_sim gtest_main gmock)
    if(QUORVEL_RELEASE)
      # Built as the release is: its allocation and library failure paths, not the prebuilt ones.
      target_sources(${name} PRIVATE ${QUORVEL_RELEASE_LIBRARY})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${QUORVEL_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml="
      RESOURCE_LOCK wineprefix)
  endforeach()

  # The release's start-up code and library pieces, built the release's way, for
  # release_runtime_test to start.
  file(GLOB QUORVEL_RELEASE_RUNTIME CONFIGURE_DEPENDS src/app/win32/release/*.cpp)
  add_executable(release_runtime_child WIN32 tests/win/release_runtime_child.cpp
                 ${QUORVEL_RELEASE_RUNTIME} src/app/win32/Fatal.cpp)
  target_compile_options(release_runtime_child PRIVATE -fno-exceptions -fno-rtti
                         -fno-threadsafe-statics)
  target_link_options(release_runtime_child PRIVATE -nostartfiles -Wl,--disable-auto-import)
  target_link_libraries(release_runtime_child PRIVATE quorvel_core user32)
  add_dependencies(release_runtime_test release_runtime_child)
endif()
