if(MVR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MVR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Test binaries that exercise threads; the ThreadSanitizer build builds only these.
add_custom_target(mvr_threads_tests)
# Everything the AddressSanitizer run executes (each test without the "gui"
# or "install" label), so that build compiles no window it never opens.
add_custom_target(mvr_sanitizer_tests)

# mvr_add_test(name SOURCES ... LIBS ... [LABELS ...]): one GoogleTest binary
# whose cases ctest lists one by one. Label "threads" puts it in the
# ThreadSanitizer run, "gui" keeps it out of the AddressSanitizer run.
function(mvr_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main mvr_warnings)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${T_LABELS}")
  if("threads" IN_LIST T_LABELS)
    add_dependencies(mvr_threads_tests ${name})
  endif()
  add_dependencies(mvr_sanitizer_tests ${name})
endfunction()

# mvr_add_qt_test(name SOURCES ... LIBS ...): one Qt Test program for a
# window, run on Qt's offscreen platform and kept out of the sanitizer run.
function(mvr_add_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets mvr_warnings)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS gui
    ENVIRONMENT QT_QPA_PLATFORM=offscreen
    TIMEOUT 300)
endfunction()
