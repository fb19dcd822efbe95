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

# Fuzzing: the code under test carries libFuzzer's coverage hooks and the sanitizers; only the
# fuzz targets link libFuzzer's main().
if(ORVANE_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORVANE_BUILD_FUZZ needs clang (the \"fuzz\" preset sets it)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(orvane_fuzzers)
  set(ORVANE_FUZZ_MANIFEST ${CMAKE_BINARY_DIR}/fuzz/fuzzers.tsv)
  # The manifest fuzz/run.sh reads, written once every target is known.
  function(_orvane_write_fuzz_manifest)
    get_property(lines GLOBAL PROPERTY ORVANE_FUZZ_LINES)
    list(JOIN lines "\n" content)
    file(GENERATE OUTPUT ${ORVANE_FUZZ_MANIFEST} CONTENT "${content}\n")
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _orvane_write_fuzz_manifest)
endif()

# orvane_add_fuzzer(name SOURCES ... LIBS ... [SEEDS pattern...] [CORPUS folder...] [MAX_LEN n])
# A libFuzzer target; fuzz/run.sh runs each in turn. Its starting inputs are the files of the
# CORPUS folders and of the built samples whose names match a SEEDS pattern (any letter case).
function(orvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "MAX_LEN" "SOURCES;LIBS;SEEDS;CORPUS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  orvane_setup_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(orvane_fuzzers ${name})
  if(NOT ARG_MAX_LEN)
    set(ARG_MAX_LEN 4096)
  endif()
  list(JOIN ARG_SEEDS " " seeds)
  list(JOIN ARG_CORPUS "\t" corpus)
  # name, executable, longest input, seed patterns, then the corpus folders; tab-separated.
  set_property(GLOBAL APPEND PROPERTY ORVANE_FUZZ_LINES
    "${name}\t$<TARGET_FILE:${name}>\t${ARG_MAX_LEN}\t${seeds}\t${corpus}")
endfunction()

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
