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

# The Qt for Windows that scripts/build-qt-windows.sh builds into its cache
# folder, with the host's Qt tools (moc, rcc, uic). Without one the window is
# left out and the core, the tools and their tests are built alone.
set(PELLRIG_QT_WINDOWS "" CACHE PATH "Qt built for Windows by scripts/build-qt-windows.sh")
if(PELLRIG_SHELL AND NOT PELLRIG_QT_WINDOWS)
  set(qt_cache $ENV{PELLRIG_QT_CACHE})
  if(NOT qt_cache)
    set(qt_cache /var/cache/pellrig)
  endif()
  file(GLOB qt_builds LIST_DIRECTORIES false ${qt_cache}/qt-windows-*/.complete)
  list(SORT qt_builds)
  list(POP_BACK qt_builds newest)
  if(newest)
    cmake_path(GET newest PARENT_PATH found)
    set(PELLRIG_QT_WINDOWS ${found} CACHE PATH "Qt built for Windows by scripts/build-qt-windows.sh" FORCE)
  endif()
endif()
if(PELLRIG_SHELL AND NOT PELLRIG_QT_WINDOWS)
  message(STATUS "No Qt for Windows in ${qt_cache} (scripts/build-qt-windows.sh builds one): the window is left out")
  set(PELLRIG_SHELL OFF)
endif()
if(PELLRIG_SHELL)
  # Debian's host Qt, whose tools the cross build runs.
  file(GLOB host_qt_configs /usr/lib/*/cmake/Qt6/Qt6Config.cmake)
  list(GET host_qt_configs 0 host_qt_config)
  cmake_path(GET host_qt_config PARENT_PATH host_qt_dir)
  cmake_path(GET host_qt_dir PARENT_PATH QT_HOST_PATH_CMAKE_DIR)
  set(QT_HOST_PATH /usr)
  set(Qt6_DIR ${PELLRIG_QT_WINDOWS}/lib/cmake/Qt6)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PELLRIG_QT_WINDOWS})
  message(STATUS "Qt for Windows: ${PELLRIG_QT_WINDOWS}")
endif()
