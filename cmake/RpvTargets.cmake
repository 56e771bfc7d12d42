# Each core folder is one static library made of every .cpp in it, so adding a
# source file never needs a change here. A folder without sources yields an
# INTERFACE target so dependants still link. ONLY (a regular expression)
# keeps just the matching sources, EXCLUDE leaves the matching ones out, so
# one folder can feed two libraries. A core folder's Qt dialogs (the archive
# chooser, the bookmark manager) sit in its qt/ subfolder and are built into
# the window's library instead, so the core itself never includes Qt.
function(rpv_core_library name dir)
  cmake_parse_arguments(PARSE_ARGV 2 _opt "" "ONLY;EXCLUDE" "")
  set(_deps ${_opt_UNPARSED_ARGUMENTS})
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  list(FILTER _src EXCLUDE REGEX "/qt/[^/]*\\.cpp$")
  if(_opt_ONLY)
    list(FILTER _src INCLUDE REGEX "${_opt_ONLY}")
  endif()
  if(_opt_EXCLUDE)
    list(FILTER _src EXCLUDE REGEX "${_opt_EXCLUDE}")
  endif()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${_deps})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${_deps})
  endif()
endfunction()

# One test program per subsystem folder under tests/.
function(rpv_test_program name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(_src)
    add_executable(${name} ${_src} ${PROJECT_SOURCE_DIR}/tests/support/DefaultHome.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
      RPV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      RPV_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
