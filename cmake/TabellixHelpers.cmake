# Sources are collected per folder so that adding a file never means editing a
# shared list; CONFIGURE_DEPENDS re-globs on the next build.
function(tbx_sources target dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  target_sources(${target} PRIVATE ${_src})
endfunction()

set(TBX_TEST_ENV
  "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=60000;TBX_BIN_DIR=${CMAKE_BINARY_DIR}/app;TBX_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;TBX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TBX_BUILD_DIR=${CMAKE_BINARY_DIR}")

# One test executable per file, named after its folder and file: GoogleTest
# for test_*.cpp, QtTest with the widgets for qtest_*.cpp (run offscreen).
function(tbx_add_cpp_test file)
  get_filename_component(_name ${file} NAME_WE)
  get_filename_component(_dir ${file} DIRECTORY)
  get_filename_component(_mod ${_dir} NAME)
  set(_target ${_mod}_${_name})
  add_executable(${_target} ${file})
  if(_name MATCHES "^qtest_")
    target_link_libraries(${_target} PRIVATE tabellix_ui tabellix_core tbx_testsupport Qt6::Test Qt6::Widgets)
  else()
    target_link_libraries(${_target} PRIVATE tabellix_core tbx_testsupport GTest::gtest GTest::gtest_main)
  endif()
  add_test(NAME ${_target} COMMAND ${_target})
  set_tests_properties(${_target} PROPERTIES TIMEOUT 300 ENVIRONMENT "${TBX_TEST_ENV}")
endfunction()

# One CTest entry per test_*.py file, run with Debian's interpreter so that
# python3-xlrd and python3-olefile are importable.
function(tbx_add_pytest file)
  get_filename_component(_name ${file} NAME_WE)
  get_filename_component(_dir ${file} DIRECTORY)
  get_filename_component(_mod ${_dir} NAME)
  set(_target py_${_mod}_${_name})
  add_test(NAME ${_target} COMMAND /usr/bin/python3 ${file})
  set_tests_properties(${_target} PROPERTIES TIMEOUT 900 ENVIRONMENT "${TBX_TEST_ENV}")
endfunction()

# Registers every test file found in one tests/ sub-folder.
function(tbx_tests_in dir)
  file(GLOB _c CONFIGURE_DEPENDS ${dir}/test_*.cpp ${dir}/qtest_*.cpp)
  foreach(f ${_c})
    tbx_add_cpp_test(${f})
  endforeach()
  file(GLOB _p CONFIGURE_DEPENDS ${dir}/test_*.py)
  foreach(f ${_p})
    tbx_add_pytest(${f})
  endforeach()
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt
# (developer tools, benchmarks).
function(tbx_add_child_projects)
  file(GLOB _children CONFIGURE_DEPENDS LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(c ${_children})
    if(IS_DIRECTORY ${c} AND EXISTS ${c}/CMakeLists.txt)
      add_subdirectory(${c})
    endif()
  endforeach()
endfunction()
