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

# lumarra_strings_manifest(out_file)
# Writes a manifest of just the STRINGS lines of the game's own manifest, for
# test programs that need the string tables but not the built pictures.
function(lumarra_strings_manifest out_file)
  set(manifest ${CMAKE_SOURCE_DIR}/resources/lumarra.manifest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
  file(STRINGS ${manifest} manifest_lines REGEX "^STRINGS[ \t]")
  set(strings_manifest "")
  foreach(line IN LISTS manifest_lines)
    string(REGEX REPLACE "^STRINGS[ \t]+-[ \t]+([^ \t#]+).*$" "STRINGS - ${CMAKE_SOURCE_DIR}/resources/\\1" line "${line}")
    string(APPEND strings_manifest "${line}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${out_file} CONTENT "${strings_manifest}")
endfunction()

# lumarra_add_game_resources(target)
# The game's own resource table for `target`: the game's manifest, and the
# built pictures too when the assets are built.
function(lumarra_add_game_resources target)
  if(LUMARRA_BUILD_ASSETS)
    lumarra_add_resources(${target}
      MANIFEST ${CMAKE_SOURCE_DIR}/resources/lumarra.manifest ${CMAKE_SOURCE_DIR}/resources/pictures/pictures.manifest
      DEPENDS lumarra_picture_assets)
  else()
    lumarra_add_resources(${target} MANIFEST ${CMAKE_SOURCE_DIR}/resources/lumarra.manifest)
  endif()
endfunction()
