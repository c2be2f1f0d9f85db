# tessarine_include_root(TARGET SCOPE): gives TARGET an include root that holds only the
# folder this is called from, under the folder's name. "mesh/mesh.h" is then found by mesh
# and by the targets that link it, and by no other: an include of a module a target does
# not depend on fails to build instead of building by accident.
function(tessarine_include_root target scope)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()
