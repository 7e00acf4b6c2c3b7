# The file name the dynamic loader knows a shared library by (its SONAME, e.g. libzip.so.4), for
# libraries the programs load at run time instead of linking them, and the Debian package that
# holds that file (for the package's dependencies, which no linked library gives then).

function(tesmar_shared_library_name name hint_dirs out_soname out_package)
  find_library(TESMAR_${name}_FILE NAMES ${name} HINTS ${hint_dirs} REQUIRED)
  get_filename_component(real "${TESMAR_${name}_FILE}" REALPATH)
  find_program(TESMAR_READELF NAMES readelf ${CMAKE_READELF} REQUIRED)
  execute_process(COMMAND ${TESMAR_READELF} -d "${real}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  string(REGEX MATCH "\\(SONAME\\)[^[]*\\[([^]]+)\\]" found "${dynamic}")
  if(status OR NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "${real}: no SONAME found by ${TESMAR_READELF}")
  endif()
  set(soname ${CMAKE_MATCH_1})
  set(${out_soname} ${soname} PARENT_SCOPE)

  get_filename_component(dir "${real}" DIRECTORY)
  set(package "")
  find_program(TESMAR_DPKG_QUERY dpkg-query)
  if(TESMAR_DPKG_QUERY)
    execute_process(COMMAND ${TESMAR_DPKG_QUERY} -S "${dir}/${soname}" OUTPUT_VARIABLE owner
                    RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status)
      string(REGEX MATCH "^[^:,]+" package "${owner}")
    endif()
  endif()
  set(${out_package} "${package}" PARENT_SCOPE)
endfunction()
