# Every executable and shared library we build carries a version resource
# made from the project version, readable by GetFileVersion.
set(LUMARRA_VERSION_SOURCE ${CMAKE_BINARY_DIR}/generated/version_resource.cpp)
configure_file(${CMAKE_SOURCE_DIR}/platform/VersionResource.cpp.in ${LUMARRA_VERSION_SOURCE} @ONLY)

function(lumarra_add_version_resource target)
  if(NOT TARGET ${target})
    return()
  endif()
  target_sources(${target} PRIVATE ${LUMARRA_VERSION_SOURCE})
endfunction()
