# Release builds give the same bytes from the same commit wherever the tree
# lies and whenever it is built: the tree's and the build folder's absolute
# paths are mapped to fixed names (__FILE__, debug info), and the Windows
# linker writes no time stamp into the PE header. Time stamps elsewhere (the
# man page, the package) come from SOURCE_DATE_EPOCH, the commit's time.
option(KELDO_REPRODUCIBLE "Build the same bytes from the same commit anywhere, any time (releases)" OFF)
if(KELDO_REPRODUCIBLE)
  # GCC tries the last mapping first: the build folder may lie inside the tree.
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()
