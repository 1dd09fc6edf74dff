# Compile flags shared by every library and program of the project.
add_library(fundview_common INTERFACE)
target_compile_features(fundview_common INTERFACE cxx_std_20)
target_compile_options(fundview_common INTERFACE -Wall -Wextra -Wshadow -Werror
                                                 -Wno-unused-parameter)
# GCC 12 at -O3 reports impossible overlaps inside std::string's operator+ (a known false
# positive of its -Wrestrict).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(fundview_common INTERFACE -Wno-restrict)
endif()
target_include_directories(fundview_common INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# fundview_test(NAME SOURCE [MAIN target] LIBS...) builds one GoogleTest program from one file.
# Its main() comes from GoogleTest, or from the library MAIN names (the widget tests' one
# starts a QApplication first).
function(fundview_test name source)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "MAIN" "")
  if(NOT arg_MAIN)
    set(arg_MAIN GTest::gtest_main)
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} fundview_test_support
                                        GTest::gtest GTest::gmock ${arg_MAIN})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1")
endfunction()

# Rebuilds of other checkouts of the same tree reuse compiled objects when ccache is there.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()
