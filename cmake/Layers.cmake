# SPDX-License-Identifier: GPL-3.0-or-later
# The layers: src/layers.txt read once, each folder made one library that
# links the folders it stands on, and one include check that every library
# waits for, so that an include from above stops any build before a single
# file is compiled.  Used by the top CMakeLists.txt and, in script mode, by
# cmake/check_layers.cmake.

# ombrix_read_layers(TABLE): sets OMBRIX_LAYERS (the folders, bottom up) and
# for each folder F, with "/" written "_" as KEY, OMBRIX_QT_<KEY> (none, Gui
# or Widgets), OMBRIX_STANDS_ON_<KEY> (as written) and OMBRIX_BELOW_<KEY>
# (everything under it), in the caller's scope.
function(ombrix_read_layers table)
  file(STRINGS "${table}" lines)
  set(layers "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
    list(POP_FRONT fields folder qt)
    string(REPLACE "/" "_" key "${folder}")
    if(NOT qt MATCHES "^(none|Gui|Widgets)$")
      message(FATAL_ERROR "${table}: ${folder}/ may use Qt 'none', 'Gui' or 'Widgets', not '${qt}'")
    endif()
    set(OMBRIX_QT_${key} "${qt}" PARENT_SCOPE)
    if(folder IN_LIST layers)
      message(FATAL_ERROR "${table}: ${folder}/ is listed twice")
    endif()
    if(fields STREQUAL "-")
      set(fields "")
    endif()
    set(below "")
    foreach(dep IN LISTS fields)
      if(NOT dep IN_LIST layers)
        message(FATAL_ERROR "${table}: ${folder}/ stands on ${dep}/, which is not listed above it")
      endif()
      string(REPLACE "/" "_" depkey "${dep}")
      list(APPEND below ${dep} ${OMBRIX_BELOW_${depkey}})
    endforeach()
    list(REMOVE_DUPLICATES below)
    set(OMBRIX_STANDS_ON_${key} "${fields}")
    set(OMBRIX_BELOW_${key} "${below}")
    set(OMBRIX_STANDS_ON_${key} "${fields}" PARENT_SCOPE)
    set(OMBRIX_BELOW_${key} "${below}" PARENT_SCOPE)
    list(APPEND layers ${folder})
  endforeach()
  set(OMBRIX_LAYERS "${layers}" PARENT_SCOPE)
endfunction()

# The library's (or the program's) target name of a folder.
function(ombrix_layer_target folder out)
  if(folder STREQUAL "app")
    set(${out} ombrix PARENT_SCOPE)
  else()
    string(REPLACE "/" "_" key "${folder}")
    set(${out} ombrix_${key} PARENT_SCOPE)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

set(OMBRIX_LAYER_TABLE ${PROJECT_SOURCE_DIR}/src/layers.txt)
ombrix_read_layers(${OMBRIX_LAYER_TABLE})

# The check of every include under src/, run before anything is compiled and
# again whenever a source file or the table changes.
file(GLOB_RECURSE OMBRIX_ALL_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
set(OMBRIX_LAYER_FILES ${PROJECT_BINARY_DIR}/layer_check_files.txt)
# Where Qt keeps the widget headers, so that the check tells them from Gui's.
get_target_property(qt_widgets_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER qt_widgets_dirs INCLUDE REGEX "QtWidgets$")
file(WRITE ${OMBRIX_LAYER_FILES} "${OMBRIX_ALL_SOURCES}")
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/layer_check.stamp
  COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/src -DTABLE=${OMBRIX_LAYER_TABLE}
          -DFILES=${OMBRIX_LAYER_FILES} "-DQT_WIDGETS=${qt_widgets_dirs}" -DSTAMP=${PROJECT_BINARY_DIR}/layer_check.stamp
          -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  DEPENDS ${OMBRIX_ALL_SOURCES} ${OMBRIX_LAYER_TABLE} ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
          ${PROJECT_SOURCE_DIR}/cmake/Layers.cmake
  COMMENT "Checking that every include goes down the layers"
  VERBATIM)
add_custom_target(ombrix_layer_check DEPENDS ${PROJECT_BINARY_DIR}/layer_check.stamp)

# ombrix_add_layer(SOURCES...): the library of the folder this is called
# from (the program for app/), linked to the folders it stands on.
function(ombrix_add_layer)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT folder IN_LIST OMBRIX_LAYERS)
    message(FATAL_ERROR "src/${folder}/ is not a layer of src/layers.txt")
  endif()
  ombrix_layer_target(${folder} target)
  string(REPLACE "/" "_" key "${folder}")
  if(target STREQUAL "ombrix")
    add_executable(${target} ${ARGN})
    set(scope PRIVATE)
  else()
    add_library(${target} STATIC ${ARGN})
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS OMBRIX_STANDS_ON_${key})
    ombrix_layer_target(${dep} deptarget)
    target_link_libraries(${target} ${scope} ${deptarget})
  endforeach()
  add_dependencies(${target} ombrix_layer_check)
  ombrix_apply_options(${target})
endfunction()

# Adds every folder, bottom up.
function(ombrix_add_layers)
  foreach(folder IN LISTS OMBRIX_LAYERS)
    add_subdirectory(${PROJECT_SOURCE_DIR}/src/${folder})
  endforeach()
endfunction()
