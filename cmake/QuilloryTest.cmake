# quillory_add_test(name SOURCES a.cpp ... LIBS lib ... [LABELS gui webkit] [GUI_MAIN])
# One CTest test per executable. Tests labelled gui or webkit need a display and run one at a
# time, because they share the X server's pointer and keyboard.
find_package(GTest REQUIRED)

# quillory_existing_libs(var): drops from the list in `var` every quillory_* library that is
# not a target. Our libraries exist only once they have sources, and folders are added
# bottom-up, so such a library has none yet.
function(quillory_existing_libs var)
  set(kept)
  foreach(lib ${${var}})
    if(lib MATCHES "^quillory_" AND NOT TARGET ${lib})
      continue()
    endif()
    list(APPEND kept ${lib})
  endforeach()
  set(${var} ${kept} PARENT_SCOPE)
endfunction()

function(quillory_add_test name)
  cmake_parse_arguments(QT "GUI_MAIN" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${QT_SOURCES})
  if(QT_GUI_MAIN)
    target_link_libraries(${name} PRIVATE quillory_wx_test_main GTest::gtest GTest::gmock ${QT_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${QT_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE QUILLORY_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set(env "QUILLORY_TEST_BUILD=${CMAKE_BINARY_DIR}")
  if(QT_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${QT_LABELS}")
    list(FIND QT_LABELS gui is_gui)
    list(FIND QT_LABELS webkit is_webkit)
    if(NOT is_gui EQUAL -1 OR NOT is_webkit EQUAL -1)
      set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
      list(APPEND env "WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1" "GDK_BACKEND=x11" "NO_AT_BRIDGE=1")
    endif()
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()

# quillory_add_test_subfolders(): adds every sub-folder of the calling tests folder that has a
# CMakeLists.txt. The tests tree mirrors the source tree, so a folder may hold both tests and
# the folders of its sub-folders' tests.
function(quillory_add_test_subfolders)
  file(GLOB dirs CONFIGURE_DEPENDS LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${dirs})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# quillory_test_folder(prefix LIBS ... [GUI_LIBS ...])
# In the calling tests folder: every *_test.cpp forms the headless executable <prefix>_tests;
# every *_guitest.cpp forms <prefix>_guitests (label gui), every *_webkittest.cpp forms
# <prefix>_webkittests (labels gui and webkit). GUI executables get LIBS and GUI_LIBS. Every
# *_browsertest.cpp forms <prefix>_browsertests (labels gui and browser): real browsers driven
# from outside, which link the test support only.
function(quillory_test_folder prefix)
  cmake_parse_arguments(QF "" "" "LIBS;GUI_LIBS" ${ARGN})
  quillory_existing_libs(QF_LIBS)
  quillory_existing_libs(QF_GUI_LIBS)
  file(GLOB headless CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(headless)
    quillory_add_test(${prefix}_tests SOURCES ${headless} LIBS ${QF_LIBS} quillory_test_support)
  endif()
  if(QUILLORY_WITH_GUI)
    file(GLOB gui CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_guitest.cpp)
    if(gui)
      quillory_add_test(${prefix}_guitests GUI_MAIN SOURCES ${gui}
        LIBS ${QF_LIBS} ${QF_GUI_LIBS} quillory_test_support LABELS gui)
    endif()
    file(GLOB web CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_webkittest.cpp)
    if(web)
      quillory_add_test(${prefix}_webkittests GUI_MAIN SOURCES ${web}
        LIBS ${QF_LIBS} ${QF_GUI_LIBS} quillory_test_support LABELS gui webkit)
    endif()
    file(GLOB browser CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_browsertest.cpp)
    if(browser)
      quillory_add_test(${prefix}_browsertests SOURCES ${browser} LIBS quillory_test_support LABELS gui browser)
    endif()
  endif()
endfunction()

# quillory_folder_library(name [LIBS ...] [WX_LIBS ...])
# In the calling source folder: every .cpp except *_wx.cpp forms the headless library <name>;
# every *_wx.cpp forms <name>_wx, which links <name> (when it exists), quillory_wx and WX_LIBS.
# A library without sources is not created.
function(quillory_folder_library name)
  cmake_parse_arguments(QL "" "" "LIBS;WX_LIBS" ${ARGN})
  quillory_existing_libs(QL_LIBS)
  quillory_existing_libs(QL_WX_LIBS)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(core ${all})
  list(FILTER core EXCLUDE REGEX "_wx\\.cpp$")
  set(wx ${all})
  list(FILTER wx INCLUDE REGEX "_wx\\.cpp$")
  if(core)
    add_library(${name} STATIC ${core})
    target_link_libraries(${name} PUBLIC ${QL_LIBS})
  endif()
  if(QUILLORY_WITH_GUI AND wx)
    add_library(${name}_wx STATIC ${wx})
    if(core)
      target_link_libraries(${name}_wx PUBLIC ${name})
    endif()
    target_link_libraries(${name}_wx PUBLIC ${QL_LIBS} ${QL_WX_LIBS} quillory_wx)
  endif()
endfunction()

# quillory_add_bench(name SOURCES ... LIBS ...): a Google Benchmark program, built into
# <build>/bench/ so that `make bench` finds and runs every one.
function(quillory_add_bench name)
  cmake_parse_arguments(QB "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${QB_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${QB_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  set_property(GLOBAL APPEND PROPERTY QUILLORY_BENCH_TARGETS ${name})
endfunction()
