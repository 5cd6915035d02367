# SPDX-License-Identifier: GPL-3.0-or-later
# Refuses every include under src/ that reaches into a folder that is not
# below the including file's own (see src/layers.txt), written from src/ or
# with "../", in quotes or angle brackets.  Run by the build before anything
# is compiled.  It also holds each folder to the part of Qt the table gives
# it: none for plain C++, no widget header for Gui.
#   cmake -DSRC=src -DTABLE=src/layers.txt -DFILES=list.txt [-DQT_WIDGETS=dir]
#         [-DSTAMP=f] -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)
ombrix_read_layers(${TABLE})

# The layer a path under src/ (written relative to src/) belongs to: the
# longest listed folder it lies in, or "" for none.
function(layer_of rel out)
  set(best "")
  foreach(folder IN LISTS OMBRIX_LAYERS)
    string(LENGTH "${folder}" n)
    string(LENGTH "${best}" b)
    string(FIND "${rel}" "${folder}/" at)
    if(at EQUAL 0 AND n GREATER b)
      set(best "${folder}")
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(READ ${FILES} files)
set(errors "")
foreach(file IN LISTS files)
  file(RELATIVE_PATH rel ${SRC} ${file})
  layer_of("${rel}" own)
  if(own STREQUAL "")
    string(APPEND errors "src/${rel}: lies in no folder of src/layers.txt\n")
    continue()
  endif()
  string(REPLACE "/" "_" key "${own}")
  set(allowed ${own} ${OMBRIX_BELOW_${key}})
  get_filename_component(dir ${file} DIRECTORY)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" name "${line}")
    # As the compiler looks: beside the file first, then from src/.
    get_filename_component(beside ${name} ABSOLUTE BASE_DIR ${dir})
    get_filename_component(rooted ${name} ABSOLUTE BASE_DIR ${SRC})
    if(line MATCHES "\"" AND EXISTS ${beside})
      set(target ${beside})
    elseif(EXISTS ${rooted})
      set(target ${rooted})
    elseif(name MATCHES "^\\.")
      set(target ${beside})
    elseif(line MATCHES "\"")
      set(target ${rooted})
    else()
      set(qt ${OMBRIX_QT_${key}})
      if(name MATCHES "^Q" AND qt STREQUAL "none")
        string(APPEND errors "src/${rel}: ${own}/ is plain C++ but includes <${name}>\n")
      elseif(name MATCHES "^Q" AND qt STREQUAL "Gui" AND (name MATCHES "^QtWidgets/" OR (QT_WIDGETS AND EXISTS ${QT_WIDGETS}/${name})))
        string(APPEND errors "src/${rel}: ${own}/ draws no window but includes the widget header <${name}>\n")
      endif()
      continue() # a system header
    endif()
    file(RELATIVE_PATH trel ${SRC} ${target})
    if(trel MATCHES "^\\.\\./")
      continue() # outside src/
    endif()
    layer_of("${trel}" theirs)
    if(theirs STREQUAL "")
      string(APPEND errors "src/${rel}: ${own}/ includes ${name}, which lies in no folder of src/layers.txt\n")
    elseif(NOT theirs IN_LIST allowed)
      string(APPEND errors
        "src/${rel}: ${own}/ includes ${name} from ${theirs}/, which is not below ${own}/ in src/layers.txt\n")
    endif()
  endforeach()
endforeach()

if(NOT errors STREQUAL "")
  # Unformatted, one line each, so that an editor can jump to the file.
  message(NOTICE "${errors}")
  message(FATAL_ERROR "Includes go up the layers of src/layers.txt (listed above).")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
