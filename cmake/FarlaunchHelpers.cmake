# farlaunch_include_root(TARGET FOLDER)
# The target and its users reach the headers of the calling folder as
# "FOLDER/name.h" (FOLDER: "base", "frontends/gtk", "res" ...), and no other
# folder of the tree through it: each library's include root in the build
# tree holds one link, to its own folder. A library therefore sees only the
# folders of the libraries it links, and an include of any other folder
# fails to compile.
function(farlaunch_include_root target folder)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# farlaunch_tool(NAME name SOURCES ... LIBS ...)
# A publisher tool: built from its folder, installed under tools/.
function(farlaunch_tool)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  install(TARGETS ${T_NAME} RUNTIME DESTINATION tools)
  # The tests' installed copy must wait for every installed tool.
  set_property(GLOBAL APPEND PROPERTY FARLAUNCH_TOOLS ${T_NAME})
endfunction()

# farlaunch_subfolders(): adds every folder below the calling one; each must
# have its CMakeLists.txt (a folder without one is an error, not a skip).
function(farlaunch_subfolders)
  file(GLOB entries LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT entries)
  foreach(entry ${entries})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${entry})
      add_subdirectory(${entry})
    endif()
  endforeach()
endfunction()

# farlaunch_test(NAME name SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# Builds one GoogleTest executable and registers its cases with CTest.
function(farlaunch_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    FARLAUNCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    FARLAUNCH_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  # Window tests share one X display, wine tests one wine prefix (whose
  # server each stops at its end): never run two of a kind at once.
  if("gui" IN_LIST T_LABELS AND "wine" IN_LIST T_LABELS)
    message(FATAL_ERROR "${T_NAME}: one resource lock per test (gui or wine)")
  elseif("gui" IN_LIST T_LABELS)
    list(APPEND props RESOURCE_LOCK x_display)
  elseif("wine" IN_LIST T_LABELS)
    list(APPEND props RESOURCE_LOCK wine_prefix)
  endif()
  if(T_ENV)
    list(APPEND props ENVIRONMENT "${T_ENV}")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
  # Labels go on after discovery: a list of several would not survive the
  # trip through gtest_discover_tests' PROPERTIES.
  if(T_LABELS)
    set(label_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_labels.cmake)
    file(WRITE ${label_file}
      "if(${T_NAME}_TESTS)\n  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES LABELS \"${T_LABELS}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_file})
  endif()
endfunction()

# farlaunch_fuzzer(NAME name SOURCES ... LIBS ...): a libFuzzer target
# (FARLAUNCH_FUZZ builds only); its seed corpus is the folder's seeds/.
function(farlaunch_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  add_dependencies(farlaunch_fuzzers ${F_NAME})
endfunction()
