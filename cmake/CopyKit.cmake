# Copies the kit's data folder into the build's kit folder, keeping the executable bits of the tools.
file(GLOB_RECURSE entries RELATIVE "${SRC}" "${SRC}/*")
foreach(entry IN LISTS entries)
  get_filename_component(dir "${DST}/${entry}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY "${SRC}/${entry}" DESTINATION "${dir}" USE_SOURCE_PERMISSIONS)
endforeach()
# Empty folders of the kit (kept in git by a .keep file) exist in the layout too.
foreach(sub projects compiler dsk help)
  file(MAKE_DIRECTORY "${DST}/${sub}")
endforeach()
