# The CP932 tables are generated while building, by a small host program that
# reads them out of glibc's converter, and compiled into rpv_platform: the
# reader carries them as data, and nothing checked in can go stale.
add_executable(Cp932TableGen ${PROJECT_SOURCE_DIR}/tools/Cp932TableGen.cpp)
set(_cp932_tables ${PROJECT_BINARY_DIR}/generated/Cp932Tables.cpp)
add_custom_command(
  OUTPUT ${_cp932_tables}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
  COMMAND Cp932TableGen ${_cp932_tables}
  DEPENDS Cp932TableGen
  COMMENT "Generating the CP932 tables from glibc's converter"
  VERBATIM)
target_sources(rpv_platform PRIVATE ${_cp932_tables})
