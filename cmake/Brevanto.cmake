# brevanto_library(<name> <sources...>): the static library of one src folder, with the alias
# brevanto::<name>. Its folder's parent (src/) is the include root, so headers are included as
# "pdf/PdfDoc.h", "platform/graphics/Bitmap.h".
function(brevanto_library name)
  add_library(brevanto_${name} STATIC ${ARGN})
  add_library(brevanto::${name} ALIAS brevanto_${name})
  target_include_directories(brevanto_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# SANE's configuration for every test: a dll.conf that lists no backend, so that no test reaches
# the machine's scanners (or waits for them); the SANE tests list the test backend their own way.
file(WRITE ${CMAKE_BINARY_DIR}/sane-none/dll.conf "")

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
    PROPERTIES LABELS ${T_LABEL} ENVIRONMENT SANE_CONFIG_DIR=${CMAKE_BINARY_DIR}/sane-none
    DISCOVERY_TIMEOUT 60)
endfunction()

# brevanto_forbid_qt(<target>): the configure step fails when the target, directly or through
# anything it links, reaches Qt. Checked once every target exists.
function(brevanto_forbid_qt target)
  set_property(GLOBAL APPEND PROPERTY BREVANTO_QT_FREE_TARGETS ${target})
endfunction()

function(brevanto_check_qt_free)
  get_property(targets GLOBAL PROPERTY BREVANTO_QT_FREE_TARGETS)
  foreach(root IN LISTS targets)
    if(NOT TARGET ${root})
      continue()
    endif()
    set(pending ${root})
    set(seen "")
    while(pending)
      list(POP_FRONT pending current)
      if(current IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${current})
      get_target_property(aliased ${current} ALIASED_TARGET)
      if(aliased)
        list(APPEND pending ${aliased})
        continue()
      endif()
      get_target_property(type ${current} TYPE)
      set(links "")
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(direct ${current} LINK_LIBRARIES)
        if(direct)
          list(APPEND links ${direct})
        endif()
      endif()
      get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
      if(interface)
        list(APPEND links ${interface})
      endif()
      foreach(item IN LISTS links)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
        if(item MATCHES "^Qt[0-9]*::" OR item MATCHES "(^|/)libQt[0-9]")
          message(FATAL_ERROR "${root} must not use Qt, but reaches ${item} through ${current}")
        endif()
        if(TARGET ${item})
          list(APPEND pending ${item})
        endif()
      endforeach()
    endwhile()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL brevanto_check_qt_free)
