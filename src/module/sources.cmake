# Files of this subsystem: platform-free ones into vantrel_portable, the Win32
# layer into vantrel_win32.
target_sources(vantrel_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PlatformDecisions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TargetCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TemplatePatch.cpp
)

if(VANTREL_WINDOWS)
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
endif()
