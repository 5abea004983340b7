# The module: load and unload, the COM objects, the target check, the page's
# creation.
target_sources(vantrel_win32 PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MciHostWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModuleLifetime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TargetHasResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClassFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectedPath.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellExtension.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModuleExports.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageCreation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FindPageState.cpp
)
