# What the Windows program needs beside it, from the Qt that
# scripts/build-qt-windows.sh builds: Qt's DLLs, the platform and style
# plugins, and the mingw-w64 runtime those DLLs were linked with (the program's
# own code links the runtime statically). `cmake --install` lays them out as
# the program is shipped.

set(pellrig_qt_dir ${PELLRIG_QT_WINDOWS})
set(PELLRIG_QT_DLLS ${pellrig_qt_dir}/bin/Qt6Core.dll ${pellrig_qt_dir}/bin/Qt6Gui.dll ${pellrig_qt_dir}/bin/Qt6Widgets.dll)
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

# pellrig_link_windows_runtime(<folder>): links the same DLLs and plugins, and
# Qt's test library, into a build folder, so that the programs built there run
# in place. Qt finds its plugins beside the program, not through the PATH.
function(pellrig_link_windows_runtime folder)
  file(MAKE_DIRECTORY ${folder}/platforms ${folder}/styles)
  foreach(dll IN LISTS PELLRIG_QT_DLLS PELLRIG_MINGW_RUNTIME_DLLS ITEMS ${pellrig_qt_dir}/bin/Qt6Test.dll)
    cmake_path(GET dll FILENAME name)
    file(CREATE_LINK ${dll} ${folder}/${name} SYMBOLIC)
  endforeach()
  foreach(plugin IN LISTS PELLRIG_QT_PLUGINS)
    file(CREATE_LINK ${pellrig_qt_dir}/plugins/${plugin} ${folder}/${plugin} SYMBOLIC)
  endforeach()
endfunction()

# pellrig_deploy_windows(<target>): installs <target> with everything it loads.
function(pellrig_deploy_windows target)
  install(TARGETS ${target} RUNTIME DESTINATION .)
  install(FILES ${PELLRIG_QT_DLLS} ${PELLRIG_MINGW_RUNTIME_DLLS} DESTINATION .)
  foreach(plugin IN LISTS PELLRIG_QT_PLUGINS)
    cmake_path(GET plugin PARENT_PATH plugin_dir)
    install(FILES ${pellrig_qt_dir}/plugins/${plugin} DESTINATION ${plugin_dir})
  endforeach()
  install(DIRECTORY ${pellrig_qt_dir}/licenses/ DESTINATION licenses/qt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION licenses RENAME pellrig.txt)
endfunction()
