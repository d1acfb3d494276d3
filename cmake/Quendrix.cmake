# quendrix_library(<target> DIR <dir> [LIBS ...])
# Builds every .cpp/.h directly inside <dir> into a static library; headers are
# included as "<subsystem>/<file>.h" relative to src/.
function(quendrix_library target)
  cmake_parse_arguments(Q "" "DIR" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${Q_DIR}/*.cpp ${Q_DIR}/*.h)
  if(NOT srcs)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp "// no sources yet\n")
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
  endif()
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${Q_LIBS})
endfunction()

# quendrix_test(<name> SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...])
# One Qt Test executable, registered with CTest, run headless.
# Every suite is named tst_<unit> and carries one label: unit, emulator (uses the
# emulator or a pseudo-terminal) or gui.
function(quendrix_test name)
  cmake_parse_arguments(Q "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT name MATCHES "^tst_")
    message(FATAL_ERROR "test ${name}: suites are named tst_<unit>")
  endif()
  if(NOT Q_LABELS MATCHES "^(unit|emulator|gui)$")
    message(FATAL_ERROR "test ${name}: LABELS must be unit, emulator or gui")
  endif()
  add_executable(${name} ${Q_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${Q_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT Q_TIMEOUT)
    set(Q_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${Q_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUENDRIX_SIM=$<TARGET_FILE:quendrix-sim>;QUENDRIX_BIN=${PROJECT_BINARY_DIR}/src;QUENDRIX_SOURCE=${PROJECT_SOURCE_DIR};QUENDRIX_HISTORY=${PROJECT_BINARY_DIR}/test-restore-points"
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES LABELS "${Q_LABELS}")
endfunction()

# Adds every immediate subdirectory of the current source dir that has a CMakeLists.txt.
function(quendrix_add_children)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
