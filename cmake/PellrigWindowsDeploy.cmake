# What the Windows program needs beside it, from the Qt that
# scripts/build-qt-windows.sh builds: Qt's DLLs, the platform and style
# plugins, and the mingw-w64 runtime those DLLs were linked with (the program's
# own code links the runtime statically). `cmake --install` lays them out as
# the program is shipped.

set(qt_dir ${PELLRIG_QT_WINDOWS})
set(PELLRIG_QT_DLLS ${qt_dir}/bin/Qt6Core.dll ${qt_dir}/bin/Qt6Gui.dll ${qt_dir}/bin/Qt6Widgets.dll)
set(PELLRIG_QT_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll)

set(PELLRIG_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  cmake_path(NORMAL_PATH found)
  if(NOT EXISTS ${found})
    message(FATAL_ERROR "The mingw-w64 runtime ${dll} is missing")
  endif()
  list(APPEND PELLRIG_MINGW_RUNTIME_DLLS ${found})
endforeach()

# The tests in the build tree load the same files from one folder of links,
# which Wine searches through WINEPATH; Qt's test library and the offscreen
# platform are there for them too.
set(runtime_links ${CMAKE_BINARY_DIR}/windows-runtime)
file(REMOVE_RECURSE ${runtime_links})
file(MAKE_DIRECTORY ${runtime_links}/platforms ${runtime_links}/styles)
foreach(dll IN LISTS PELLRIG_QT_DLLS PELLRIG_MINGW_RUNTIME_DLLS ITEMS ${qt_dir}/bin/Qt6Test.dll)
  cmake_path(GET dll FILENAME name)
  file(CREATE_LINK ${dll} ${runtime_links}/${name} SYMBOLIC)
endforeach()
foreach(plugin IN LISTS PELLRIG_QT_PLUGINS ITEMS platforms/qoffscreen.dll)
  file(CREATE_LINK ${qt_dir}/plugins/${plugin} ${runtime_links}/${plugin} SYMBOLIC)
endforeach()
string(REPLACE "/" "\\" wine_runtime_links "Z:${runtime_links}")
set(PELLRIG_WINDOWS_QT_ENVIRONMENT "WINEPATH=${wine_runtime_links}" "QT_PLUGIN_PATH=${wine_runtime_links}")

# pellrig_deploy_windows(<target>): installs <target> with everything it loads.
function(pellrig_deploy_windows target)
  install(TARGETS ${target} RUNTIME DESTINATION .)
  install(FILES ${PELLRIG_QT_DLLS} ${PELLRIG_MINGW_RUNTIME_DLLS} DESTINATION .)
  foreach(plugin IN LISTS PELLRIG_QT_PLUGINS)
    cmake_path(GET plugin PARENT_PATH plugin_dir)
    install(FILES ${qt_dir}/plugins/${plugin} DESTINATION ${plugin_dir})
  endforeach()
  install(DIRECTORY ${qt_dir}/licenses/ DESTINATION licenses/qt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION licenses RENAME pellrig.txt)
endfunction()
