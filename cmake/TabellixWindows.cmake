# What a build for Windows needs on top of the Linux one: the cross build
# with MinGW-w64 and the Qt kit (tools/build-windows.sh), its tests run
# under Wine. Include it before the first target, only when WIN32.
#
#   GTest::gtest, GTest::gtest_main   GoogleTest built from Debian's sources
#                                     (there is no MinGW build of it to find)
#   CMAKE_CROSSCOMPILING_EMULATOR     tools/wine-test.sh, so that every
#                                     add_test(NAME x COMMAND target) runs the
#                                     .exe under Wine without further notice
#   TBX_WINDOWS_DLL_DIRS              where the DLLs of the programs are: the
#                                     kit's bin/ and the MinGW runtime
#   PkgConfig::XLSXWRITER             libxlsxwriter and zlib, static, built
#                                     from Debian's sources for MinGW into
#                                     TBX_WINDOWS_LIBS_DIR by build-windows.sh
if(NOT WIN32)
  message(FATAL_ERROR "TabellixWindows.cmake is for the Windows build only")
endif()

get_filename_component(TBX_TOP_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# The same shared C runtime for GoogleTest as for everything else; the default
# (a static one for gtest) gives two heaps across the library boundary.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(TBX_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
if(NOT EXISTS ${TBX_GOOGLETEST_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${TBX_GOOGLETEST_DIR}: apt-get install googletest")
endif()
add_subdirectory(${TBX_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_target_properties(gtest gtest_main PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)

# Debian has no MinGW build of libxlsxwriter: build-windows.sh makes one from
# Debian's source, linked statically so that the programs need no further DLL.
set(TBX_WINDOWS_LIBS_DIR "" CACHE PATH "libxlsxwriter and zlib built for MinGW (tools/build-windows.sh)")
if(NOT EXISTS "${TBX_WINDOWS_LIBS_DIR}/lib/libxlsxwriter.a" OR NOT EXISTS "${TBX_WINDOWS_LIBS_DIR}/lib/libz.a")
  message(FATAL_ERROR "libxlsxwriter for MinGW not found in TBX_WINDOWS_LIBS_DIR='${TBX_WINDOWS_LIBS_DIR}': "
                      "bash tools/build-windows.sh libs")
endif()
add_library(PkgConfig::XLSXWRITER INTERFACE IMPORTED)
target_include_directories(PkgConfig::XLSXWRITER INTERFACE ${TBX_WINDOWS_LIBS_DIR}/include)
target_link_libraries(PkgConfig::XLSXWRITER INTERFACE ${TBX_WINDOWS_LIBS_DIR}/lib/libxlsxwriter.a
                      ${TBX_WINDOWS_LIBS_DIR}/lib/libz.a)

# The DLLs a program loads come from the kit and from the compiler; asking the
# compiler finds its runtime folder without naming the GCC version.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core)
get_target_property(_qtcore Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_qtbin ${_qtcore} DIRECTORY)
set(TBX_WINDOWS_DLL_DIRS ${_qtbin})
foreach(_dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                  OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${_dll} is")
  endif()
  get_filename_component(_dir ${_path} REALPATH)
  get_filename_component(_dir ${_dir} DIRECTORY)
  list(APPEND TBX_WINDOWS_DLL_DIRS ${_dir})
endforeach()
list(REMOVE_DUPLICATES TBX_WINDOWS_DLL_DIRS)

# One Wine prefix per build folder: made fresh by `tools/build-windows.sh
# test`, shared by the tests of that run (a new prefix costs ~20 s).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(_runner bash ${TBX_TOP_DIR}/tools/wine-test.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
  foreach(_dir ${TBX_WINDOWS_DLL_DIRS})
    list(APPEND _runner --dlls ${_dir})
  endforeach()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_runner})
endif()

# Presses Ctrl+C for a console program under Wine (tests of the Ctrl+C path).
add_executable(tbx_send_ctrl_c ${TBX_TOP_DIR}/tests/windows/send_ctrl_c.cpp)
target_link_options(tbx_send_ctrl_c PRIVATE -municode)
set_target_properties(tbx_send_ctrl_c PROPERTIES AUTOMOC OFF)
