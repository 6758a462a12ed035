include(GoogleTest)

# pellmark_library(NAME [AUTOMOC] [SOURCES file...] [DEPS lib...])
# One static library per folder, made of every .cpp in that folder (not its
# sub-folders, which are libraries of their own), or of SOURCES when given.
# AUTOMOC runs Qt's moc on the sources. A folder that has only headers yet
# becomes an interface library, so dependants link it the same way either way.
function(pellmark_library name)
  cmake_parse_arguments(PL "AUTOMOC" "" "SOURCES;DEPS" ${ARGN})
  if(PL_SOURCES)
    set(_src ${PL_SOURCES})
  else()
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${PL_DEPS})
    if(PL_AUTOMOC)
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${PL_DEPS})
  endif()
endfunction()

# pellmark_tests(LIBS lib... [RUNTIME target...] [OWN_MAIN] [AUTOMOC] [ENV VAR=value...])
# One GoogleTest program per test_*.cpp in the calling folder, linked with the
# given libraries, with the shared test support and with every .cpp under the
# folder's "fixtures" folder. RUNTIME names targets the programs load at run
# time (stand-in libraries, tools), so they are built first. OWN_MAIN leaves
# out GoogleTest's main for programs that bring their own (a Qt test links
# testsupport_qt, whose main makes the QApplication first). ENV adds
# variables to the programs' environment under CTest.
function(pellmark_tests)
  cmake_parse_arguments(PT "OWN_MAIN;AUTOMOC" "" "LIBS;RUNTIME;ENV" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  file(GLOB _fixtures CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/*.cpp)
  # The fixtures are compiled once for the folder and linked whole into
  # every program of it.
  if(_fixtures)
    string(REPLACE "/" "_" _fx ${CMAKE_CURRENT_SOURCE_DIR})
    string(REGEX REPLACE "^.*_tests_" "fixtures_" _fx ${_fx})
    add_library(${_fx} OBJECT ${_fixtures})
    target_include_directories(${_fx} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${_fx} PRIVATE ${PT_LIBS} testsupport GTest::gtest GTest::gmock)
    if(PT_AUTOMOC)
      set_target_properties(${_fx} PROPERTIES AUTOMOC ON)
    endif()
  endif()
  foreach(_t ${_tests})
    get_filename_component(_n ${_t} NAME_WE)
    add_executable(${_n} ${_t})
    if(_fixtures)
      target_sources(${_n} PRIVATE $<TARGET_OBJECTS:${_fx}>)
    endif()
    target_include_directories(${_n} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${_n} PRIVATE ${PT_LIBS} testsupport GTest::gtest GTest::gmock Threads::Threads)
    if(NOT PT_OWN_MAIN)
      target_link_libraries(${_n} PRIVATE GTest::gtest_main)
    endif()
    if(PT_AUTOMOC)
      set_target_properties(${_n} PROPERTIES AUTOMOC ON)
    endif()
    if(PT_RUNTIME)
      add_dependencies(${_n} ${PT_RUNTIME})
    endif()
    # Tests never see the real home folder: every suite gets its own data home
    # and registry file unless the test itself points them elsewhere.
    set(_env "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/testhome/${_n}"
             "HOME=${CMAKE_BINARY_DIR}/testhome/${_n}" ${PT_ENV})
    gtest_discover_tests(${_n}
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "${_env}")
  endforeach()
endfunction()
