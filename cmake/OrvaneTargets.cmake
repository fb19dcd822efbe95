# Project-wide target helpers: warnings, sanitizers, strict Qt defines, test registration.

function(orvane_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  if(ORVANE_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS)
endfunction()

if(ORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# orvane_add_library(name [CORE] SOURCES ... LIBS ...)
# CORE libraries hold window-free logic and may link QtCore at most.
function(orvane_add_library name)
  cmake_parse_arguments(ARG "CORE" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(Orvane::${name} ALIAS ${name})
  orvane_setup_target(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARG_CORE)
    foreach(lib IN LISTS ARG_LIBS)
      if(lib MATCHES "Qt6?::(Gui|Widgets|Multimedia|PrintSupport)")
        message(FATAL_ERROR "${name} is a core target and may not link ${lib}")
      endif()
    endforeach()
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LIBS})
  else()
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# Test environment shared by every test: private runtime and config folders, offscreen Qt.
set(ORVANE_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-runtime"
  "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config"
  "GST_REGISTRY_1_0=${CMAKE_BINARY_DIR}/test-runtime/gst-registry.bin"
  "SDL_AUDIODRIVER=dummy"
  "ORVANE_SAMPLES=${CMAKE_BINARY_DIR}/samples"
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-runtime)
file(CHMOD ${CMAKE_BINARY_DIR}/test-runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# orvane_add_gtest(name SOURCES ... LIBS ... [GUI] [LABELS ...])
# GUI tests get a main() that creates a QApplication (tests/support/gtest_gui_main.cpp).
function(orvane_add_gtest name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  orvane_setup_target(${name})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE orvane_test_gui_main)
  else()
    target_link_libraries(${name} PRIVATE orvane_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  # Samples for tests that read them (tests/support/samplesdir.h).
  target_compile_definitions(${name} PRIVATE ORVANE_BUILD_SAMPLES="${CMAKE_BINARY_DIR}/samples")
  add_dependencies(${name} orvane_samples)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # Discovered tests cannot carry a list-valued ENVIRONMENT property, so every run (and the
  # discovery itself) goes through env(1) with the test environment.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "/usr/bin/env;${ORVANE_TEST_ENV}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "unit")
endfunction()
