# lumarra_add_resources(target MANIFEST file... [ASSET_DIR dir] [DEPENDS targets...])
# Packs every file named in the manifests into `target` as its resource table.
# Manifest lines: "TYPE ID FILE" (FILE relative to the manifest, or under the
# asset folder when it starts with "$ASSETS/"), and "STRINGS - FILE" for a
# UTF-8 string table compiled to CP932.
function(lumarra_add_resources target)
  if(NOT TARGET ${target})
    return()  # a test left out of this build (thread-only pass)
  endif()
  cmake_parse_arguments(R "" "ASSET_DIR" "MANIFEST;DEPENDS" ${ARGN})
  if(NOT R_ASSET_DIR)
    set(R_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
  endif()
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(asm ${out_dir}/resources.S)
  set(table ${out_dir}/resource_table.cpp)
  add_custom_command(
    OUTPUT ${asm} ${table}
    COMMAND lumarra_rcpack ${R_ASSET_DIR} ${out_dir} ${out_dir}/resources.d ${R_MANIFEST}
    DEPENDS lumarra_rcpack ${R_MANIFEST} ${R_DEPENDS}
    DEPFILE ${out_dir}/resources.d
    COMMENT "Packing resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${asm} ${table})
  set_source_files_properties(${asm} ${table} PROPERTIES GENERATED TRUE)
endfunction()
