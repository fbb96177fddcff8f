# Every executable and shared library we build carries a version resource
# made from the project version, readable by GetFileVersion.
#   lumarra_add_version_resource(target [DESCRIPTION text])
# DESCRIPTION fills the resource's "FileDescription".
function(lumarra_add_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION" "" ${ARGN})
  if(NOT TARGET ${target})
    return()
  endif()
  set(LUMARRA_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(source ${CMAKE_BINARY_DIR}/generated/version_resource_${target}.cpp)
  configure_file(${CMAKE_SOURCE_DIR}/platform/VersionResource.cpp.in ${source} @ONLY)
  target_sources(${target} PRIVATE ${source})
endfunction()
