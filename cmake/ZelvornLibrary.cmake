# Each layer is one library over every source file below its folder. The include root of a layer
# holds only that layer's folders, so a header of a layer that a target does not link cannot even be
# found: core code cannot include the simulated desktop or a real backend.
function(zelvorn_layer name root)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${root}/*.cpp")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${root}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${root}")
  endif()
endfunction()
