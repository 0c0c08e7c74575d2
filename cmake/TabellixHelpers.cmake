# Sources are collected per folder so that adding a file never means editing a
# shared list; CONFIGURE_DEPENDS re-globs on the next build.
function(tbx_sources target dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  target_sources(${target} PRIVATE ${_src})
endfunction()

# One GoogleTest executable per test_*.cpp file.
function(tbx_add_gtest file)
  get_filename_component(_name ${file} NAME_WE)
  get_filename_component(_dir ${file} DIRECTORY)
  get_filename_component(_mod ${_dir} NAME)
  set(_target ${_mod}_${_name})
  add_executable(${_target} ${file} ${ARGN})
  target_link_libraries(${_target} PRIVATE tabellix_core tbx_testsupport GTest::gtest GTest::gtest_main)
  add_test(NAME ${_target} COMMAND ${_target})
  set_tests_properties(${_target} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TBX_BIN_DIR=${CMAKE_BINARY_DIR}/app;TBX_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;TBX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# One QtTest executable per qtest_*.cpp file (widget tests, run offscreen).
function(tbx_add_qtest file)
  get_filename_component(_name ${file} NAME_WE)
  get_filename_component(_dir ${file} DIRECTORY)
  get_filename_component(_mod ${_dir} NAME)
  set(_target ${_mod}_${_name})
  add_executable(${_target} ${file} ${ARGN})
  target_link_libraries(${_target} PRIVATE tabellix_ui tabellix_core tbx_testsupport Qt6::Test Qt6::Widgets)
  add_test(NAME ${_target} COMMAND ${_target})
  set_tests_properties(${_target} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=60000;TBX_BIN_DIR=${CMAKE_BINARY_DIR}/app;TBX_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;TBX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# One CTest entry per test_*.py file, run with Debian's interpreter so that
# python3-xlrd and python3-olefile are importable.
function(tbx_add_pytest file)
  get_filename_component(_name ${file} NAME_WE)
  get_filename_component(_dir ${file} DIRECTORY)
  get_filename_component(_mod ${_dir} NAME)
  set(_target py_${_mod}_${_name})
  add_test(NAME ${_target} COMMAND /usr/bin/python3 ${file})
  set_tests_properties(${_target} PROPERTIES TIMEOUT 900
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TBX_BIN_DIR=${CMAKE_BINARY_DIR}/app;TBX_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;TBX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TBX_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# Registers every test file found in one tests/ sub-folder.
function(tbx_tests_in dir)
  file(GLOB _g CONFIGURE_DEPENDS ${dir}/test_*.cpp)
  foreach(f ${_g})
    tbx_add_gtest(${f})
  endforeach()
  file(GLOB _q CONFIGURE_DEPENDS ${dir}/qtest_*.cpp)
  foreach(f ${_q})
    tbx_add_qtest(${f})
  endforeach()
  file(GLOB _p CONFIGURE_DEPENDS ${dir}/test_*.py)
  foreach(f ${_p})
    tbx_add_pytest(${f})
  endforeach()
endfunction()
