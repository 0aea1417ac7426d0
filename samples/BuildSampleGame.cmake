# Builds the sample game folder: cmake -DSOURCE_DIR=... -DTARGET_DIR=... -DSERZ=... -P this file.
# The folder is made anew each time, so files removed from the sources disappear from it.

foreach(var SOURCE_DIR TARGET_DIR SERZ)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${TARGET_DIR})
file(MAKE_DIRECTORY ${TARGET_DIR})

file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(converted 0)
set(copied 0)
foreach(rel ${sources})
  get_filename_component(folder ${rel} DIRECTORY)
  get_filename_component(name ${rel} NAME)
  string(TOLOWER "${name}" lower)
  file(MAKE_DIRECTORY ${TARGET_DIR}/${folder})
  if(lower MATCHES "\\.(bin|geopcdx|proxybin|xsec|tgpcdx)\\.xml$")
    string(LENGTH "${name}" length)
    math(EXPR length "${length} - 4")
    string(SUBSTRING "${name}" 0 ${length} target)
    execute_process(
      COMMAND ${SERZ} ${SOURCE_DIR}/${rel} xml:${TARGET_DIR}/${folder}/${target}
      RESULT_VARIABLE result
      OUTPUT_QUIET
      ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "serz.exe could not convert ${rel}: ${error}")
    endif()
    math(EXPR converted "${converted} + 1")
  else()
    file(COPY ${SOURCE_DIR}/${rel} DESTINATION ${TARGET_DIR}/${folder})
    math(EXPR copied "${copied} + 1")
  endif()
endforeach()

file(COPY ${SERZ} DESTINATION ${TARGET_DIR})
get_filename_component(serz_name ${SERZ} NAME)
if(NOT serz_name STREQUAL "serz.exe")
  file(RENAME ${TARGET_DIR}/${serz_name} ${TARGET_DIR}/serz.exe)
endif()
message(STATUS "Sample game: ${converted} files converted, ${copied} copied, into ${TARGET_DIR}")
