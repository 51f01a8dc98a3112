# brevanto_library(<name> <sources...>): the static library of one src folder, with the alias
# brevanto::<name>. Its folder's parent (src/) is the include root, so headers are included as
# "pdf/PdfDoc.h", "platform/graphics/Bitmap.h".
function(brevanto_library name)
  add_library(brevanto_${name} STATIC ${ARGN})
  add_library(brevanto::${name} ALIAS brevanto_${name})
  target_include_directories(brevanto_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# brevanto_test(<name> LABEL <folder> SOURCES <files...> LIBS <targets...>): one GoogleTest
# executable, every test in it labelled with the src folder it tests.
function(brevanto_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    BREVANTO_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures"
    BREVANTO_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    PROPERTIES LABELS ${T_LABEL}
    DISCOVERY_TIMEOUT 60)
endfunction()
