# tesmar_add_test(NAME name SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest program; each of its tests becomes a ctest test. Tests that draw with Qt carry
# the label gui, as the window tests do (./test.sh --tsan leaves them out).
function(tesmar_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set(labels "")
  if(T_LABELS)
    set(labels LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    # One value a property: the discovery splits values at semicolons.
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen ENVIRONMENT_MODIFICATION LC_ALL=set:C.UTF-8 ${labels})
endfunction()

# tesmar_add_qt_test(NAME name SOURCES ... LIBS ...)
# One Qt Test program run as a single ctest test on the offscreen platform.
function(tesmar_add_qt_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300
                       LABELS gui)
endfunction()
