# What a cross build needs beyond the toolchain file: the host's header-only
# packages without the rest of the host's headers, and GoogleTest built from
# source with the same compiler.

# CLI11 and nlohmann_json install into /usr/include beside glibc's headers,
# which must never reach the Windows compiler. Their folders are linked into
# an include folder of their own, and the imported targets point there.
find_package(nlohmann_json 3 REQUIRED)
find_package(CLI11 REQUIRED)
set(pellrig_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${pellrig_host_headers})
foreach(package_target IN ITEMS nlohmann_json::nlohmann_json CLI11::CLI11)
  get_target_property(package_includes ${package_target} INTERFACE_INCLUDE_DIRECTORIES)
  list(REMOVE_DUPLICATES package_includes)
  foreach(include_dir IN LISTS package_includes)
    file(GLOB package_entries RELATIVE ${include_dir} ${include_dir}/nlohmann ${include_dir}/CLI)
    foreach(entry IN LISTS package_entries)
      file(CREATE_LINK ${include_dir}/${entry} ${pellrig_host_headers}/${entry} SYMBOLIC)
    endforeach()
  endforeach()
  set_target_properties(${package_target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${pellrig_host_headers})
endforeach()

set(PELLRIG_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${PELLRIG_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${PELLRIG_GOOGLETEST_SOURCE}: install the Debian package googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${PELLRIG_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
